// The widget-box icons, painted at 32 x 32 so the plugin needs no picture files.
#include <functional>

#include <QPainter>
#include <QPixmap>

#include "KpDesignerPlugin.h"

namespace {
QIcon paintIcon(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(painter);
    return QIcon(pixmap);
}

// A white sheet with a black outline and a dark drop shadow.
void sheet(QPainter& painter, QRect r) {
    painter.fillRect(r.translated(2, 2), QColor(64, 64, 64));
    painter.fillRect(r, Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

// Grey text rules inside a sheet.
void rules(QPainter& painter, QRect r, int count) {
    painter.setPen(QColor(119, 119, 119));
    for (int i = 0; i < count; ++i) {
        const int y = r.top() + 3 + i * 3;
        if (y < r.bottom() - 2) painter.drawLine(r.left() + 3, y, r.right() - 3, y);
    }
}
} // namespace

QIcon KpPreviewIcon() {
    return paintIcon([](QPainter& p) {
        sheet(p, QRect(6, 2, 19, 26));
        rules(p, QRect(6, 2, 19, 26), 7);
    });
}

QIcon KpThumbnailsIcon() {
    return paintIcon([](QPainter& p) {
        for (int i = 0; i < 3; ++i) {
            const QRect r(1 + i * 10, 9, 8, 11);
            sheet(p, r);
            rules(p, r, 2);
        }
        p.setPen(Qt::blue);
        p.drawRect(0, 8, 9, 12);
    });
}

QIcon KpPrinterListIcon() {
    return paintIcon([](QPainter& p) {
        p.fillRect(QRect(9, 4, 14, 9), Qt::white); // paper in
        p.setPen(Qt::black);
        p.drawRect(QRect(9, 4, 13, 8));
        p.fillRect(QRect(3, 12, 26, 11), QColor(160, 160, 160)); // body
        p.drawRect(QRect(3, 12, 25, 10));
        p.fillRect(QRect(24, 15, 2, 2), Qt::green); // power lamp
        p.fillRect(QRect(8, 20, 16, 8), Qt::white); // paper out
        p.drawRect(QRect(8, 20, 15, 7));
    });
}

QIcon KpMultipageImageIcon() {
    return paintIcon([](QPainter& p) {
        const QRect r(4, 2, 22, 27);
        sheet(p, r);
        p.setPen(QPen(QColor(192, 192, 192), 1, Qt::DashLine));
        p.drawLine(r.center().x(), r.top() + 1, r.center().x(), r.bottom() - 1);
        p.drawLine(r.left() + 1, r.center().y(), r.right() - 1, r.center().y());
    });
}
