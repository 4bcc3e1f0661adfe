#include "preview/KpFindMarks.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPolygon>

namespace kp {

QRect FindMarkRect(const QRect& units, const QRect& sheet, qreal scale) {
    // Outward to whole pixels, so that a small match at a small zoom still shows.
    const int left = static_cast<int>(std::floor(units.left() * scale));
    const int top = static_cast<int>(std::floor(units.top() * scale));
    const int right = static_cast<int>(std::ceil((units.left() + units.width()) * scale));
    const int bottom = static_cast<int>(std::ceil((units.top() + units.height()) * scale));
    return QRect(sheet.left() + left, sheet.top() + top, std::max(1, right - left),
                 std::max(1, bottom - top));
}

QColor FindMarkColor(bool current) {
    return current ? QColor(255, 140, 0, 110) : QColor(255, 230, 0, 90);
}

void PaintFindMarks(QPainter& painter, const std::vector<TKpFindMatch>& matches, int current,
                    const QRect& sheet, qreal scale) {
    if (matches.empty()) return;
    painter.save();
    painter.setClipRect(sheet, Qt::IntersectClip);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < matches.size(); ++i) {
        if (static_cast<int>(i) == current) continue;
        painter.fillRect(FindMarkRect(matches[i].Rect, sheet, scale), FindMarkColor(false));
    }
    if (current >= 0 && current < static_cast<int>(matches.size())) {
        // The match the user is on: stronger, and framed so it is found at a glance.
        const QRect r = FindMarkRect(matches[current].Rect, sheet, scale);
        painter.fillRect(r, FindMarkColor(true));
        painter.setPen(QPen(QColor(230, 100, 0), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(-1, -1, 0, 0));
    }
    painter.restore();
}

void PaintFoundCorner(QPainter& painter, const QRect& sheet) {
    const int size = std::clamp(std::min(sheet.width(), sheet.height()) / 5, 4, 14);
    const QPolygon corner({sheet.topRight() + QPoint(1, 0), sheet.topRight() + QPoint(1 - size, 0),
                           sheet.topRight() + QPoint(1, size)});
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 140, 0));
    painter.drawPolygon(corner);
    painter.restore();
}

} // namespace kp
