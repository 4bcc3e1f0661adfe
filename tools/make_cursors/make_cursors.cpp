// Draws the zoom cursors shipped as program resources: a magnifier with a plus sign
// (ZoomIn), with a minus sign (ZoomOut) and without a sign (ZoomDrag), 32 x 32 pixels, the
// lens centred at (12, 12). Usage: make_cursors <output folder>
#include <cstdio>

#include <QDir>
#include <QImage>
#include <QPainter>

namespace {
enum class Sign { None, Plus, Minus };

// One pass of the magnifier with the given colour and extra stroke width; drawing a wide
// white pass under a black one gives the outline that keeps the cursor visible on any
// background.
void drawMagnifier(QPainter& p, const QColor& color, qreal extra, Sign sign) {
    const QPointF lens(12, 12);
    QPen ring(color, 2 + extra, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(lens, 8, 8);
    QPen handle(color, 4 + extra, Qt::SolidLine, Qt::RoundCap);
    p.setPen(handle);
    p.drawLine(QPointF(18.5, 18.5), QPointF(27, 27));
    QPen mark(color, 2 + extra, Qt::SolidLine, Qt::FlatCap);
    p.setPen(mark);
    if (sign != Sign::None) p.drawLine(QPointF(8, 12), QPointF(16, 12));
    if (sign == Sign::Plus) p.drawLine(QPointF(12, 8), QPointF(12, 16));
}

QImage cursorImage(Sign sign) {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A pale, slightly opaque glass so the sign reads over dark pages too.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(12, 12), 8, 8);
    drawMagnifier(p, Qt::white, 2, sign);
    drawMagnifier(p, Qt::black, 0, sign);
    p.end();
    return image;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cursors <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        std::fprintf(stderr, "make_cursors: no such folder: %s\n", argv[1]);
        return 1;
    }
    const struct {
        const char* name;
        Sign sign;
    } cursors[] = {{"ZoomIn", Sign::Plus}, {"ZoomOut", Sign::Minus}, {"ZoomDrag", Sign::None}};
    for (const auto& c : cursors) {
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(QLatin1String(c.name)));
        if (!cursorImage(c.sign).save(path, "PNG")) {
            std::fprintf(stderr, "make_cursors: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
