#include "platform/KpPicture.h"

#include <cmath>
#include <stdexcept>

#include <QFile>
#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpMetafilePlayer.h"
#include "platform/KpScreen.h"

namespace kp {

TKpMetafile::TKpMetafile() = default;
TKpMetafile::~TKpMetafile() = default;
TKpMetafile::TKpMetafile(TKpMetafile&&) noexcept = default;
TKpMetafile& TKpMetafile::operator=(TKpMetafile&&) noexcept = default;

TKpMetafile::TKpMetafile(const TKpMetafile& other) {
    Assign(other);
}

TKpMetafile& TKpMetafile::operator=(const TKpMetafile& other) {
    if (this != &other) Assign(other);
    return *this;
}

void TKpMetafile::Clear() {
    picture_.reset();
    source_ = nullptr;
    metafileBytes_.clear();
    form_ = TKpPictureForm::Recording;
}

const QPicture& TKpMetafile::Picture() const {
    if (!picture_) {
        if (source_ || !metafileBytes_.isEmpty())
            record();
        else
            picture_ = std::make_unique<QPicture>();
    }
    return *picture_;
}

QPicture& TKpMetafile::Picture() {
    const QPicture& recording = static_cast<const TKpMetafile&>(*this).Picture();
    source_ = nullptr;
    metafileBytes_.clear();
    form_ = TKpPictureForm::Recording;
    return const_cast<QPicture&>(recording);
}

void TKpMetafile::Assign(const TKpMetafile& other) {
    // Metafile bytes are shared, not recorded: the copy plays and saves them as they are.
    const bool bytes = other.form_ != TKpPictureForm::Recording;
    std::unique_ptr<QPicture> copy =
        other.Empty() || bytes ? nullptr : std::make_unique<QPicture>(other.Picture());
    picture_ = std::move(copy);
    source_ = nullptr;
    metafileBytes_ = other.metafileBytes_;
    form_ = other.form_;
    width_ = other.width_;
    height_ = other.height_;
}

void TKpMetafile::SetSource(const TKpPictureSource* source) {
    picture_.reset();
    metafileBytes_.clear();
    form_ = TKpPictureForm::Recording;
    source_ = source;
}

bool TKpMetafile::LoadFromBytes(const QByteArray& bytes) {
    const TKpMetafileFrame frame = KpMetafileFrame(bytes);
    if (frame.Kind == TKpMetafileKind::None) return false;
    Clear();
    metafileBytes_ = bytes;
    form_ = frame.Kind == TKpMetafileKind::Emf ? TKpPictureForm::Emf : TKpPictureForm::Wmf;
    // The frame is in hundredths of a millimetre; the natural size is at screen resolution.
    const double ppi = ScreenPixelsPerInch();
    width_ = static_cast<int>(std::lround(std::abs(frame.Frame.width()) * ppi / 2540.0));
    height_ = static_cast<int>(std::lround(std::abs(frame.Frame.height()) * ppi / 2540.0));
    return true;
}

void TKpMetafile::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open file " + fileName.toStdString());
    if (!LoadFromBytes(file.readAll()))
        throw std::runtime_error(fileName.toStdString() + ": not an enhanced or 16-bit metafile");
}

void TKpMetafile::record() const {
    auto picture = std::make_unique<QPicture>();
    {
        QPainter painter(picture.get());
        if (source_) {
            const int ppi = ScreenPixelsPerInch();
            TKpDeviceCanvas canvas(&painter, ppi, ppi);
            source_->DrawPicture(canvas);
        } else {
            // A damaged metafile records what came before the damage.
            KpPlayMetafile(metafileBytes_, painter, QRectF(0, 0, width_, height_));
        }
    }
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    picture->setBoundingRect(QRect(0, 0, width_, height_));
    picture_ = std::move(picture);
}

TKpMetafileCanvas::TKpMetafileCanvas(TKpMetafile& metafile) : metafile_(metafile) {
    metafile_.Clear();
    painter_ = std::make_unique<QPainter>(&metafile_.Picture());
    const int ppi = ScreenPixelsPerInch();
    canvas_ = std::make_unique<TKpDeviceCanvas>(painter_.get(), ppi, ppi);
}

TKpMetafileCanvas::~TKpMetafileCanvas() {
    End();
}

void TKpMetafileCanvas::End() {
    if (!painter_) return;
    canvas_.reset();
    painter_->end();
    painter_.reset();
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    metafile_.Picture().setBoundingRect(QRect(0, 0, metafile_.Width(), metafile_.Height()));
}

} // namespace kp
