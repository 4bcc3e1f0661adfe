#include "content/KpImageList.h"

#include <QPainter>

namespace kp {

TKpImageList::TKpImageList(int width, int height, QObject* parent)
    : QObject(parent), width_(qMax(1, width)), height_(qMax(1, height)) {}

int TKpImageList::Add(const QImage& image) {
    images_.push_back(
        image.size() == QSize(width_, height_)
            ? image
            : image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return Count() - 1;
}

QImage TKpImageList::Bitmap(int index) const {
    QImage bitmap(width_, height_, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    if (index >= 0 && index < Count()) {
        QPainter painter(&bitmap);
        painter.drawImage(0, 0, images_[static_cast<size_t>(index)]);
    }
    return bitmap;
}

} // namespace kp
