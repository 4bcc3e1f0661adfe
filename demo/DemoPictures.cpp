#include "demo/DemoPictures.h"

#include <cmath>
#include <functional>
#include <map>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

using Painter = std::function<void(QPainter&, int w, int h)>;

struct Recipe {
    int width;
    int height;
    bool transparent;
    Painter paint;
};

QFont sans(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A small page with ruled lines: the suite's emblem.
void sheet(QPainter& p, QRectF r, const QColor& lines) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(lines, 1));
    const qreal step = r.height() / 8;
    for (int i = 2; i < 8; ++i)
        p.drawLine(QPointF(r.left() + r.width() * 0.15, r.top() + i * step),
                   QPointF(r.right() - r.width() * (i % 3 == 0 ? 0.35 : 0.15), r.top() + i * step));
}

void magnifier(QPainter& p, QPointF centre, qreal radius, const QColor& rim) {
    p.setPen(QPen(rim, radius * 0.25, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7),
               centre + QPointF(radius * 1.6, radius * 1.6));
    p.setPen(QPen(rim, radius * 0.18));
    p.setBrush(QColor(200, 230, 255, 150));
    p.drawEllipse(centre, radius, radius);
}

// Image1: the About page's picture, a stack of sheets under a magnifier on a blue field.
void image1(QPainter& p, int w, int h) {
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(30, 70, 150));
    g.setColorAt(1, QColor(120, 170, 230));
    p.fillRect(0, 0, w, h, g);
    for (int i = 2; i >= 0; --i)
        sheet(p, QRectF(40 + i * 18, 30 + i * 14, 110, 150), QColor(150, 170, 200));
    magnifier(p, QPointF(175, 105), 42, QColor(240, 200, 60));
    p.setPen(Qt::white);
    p.setFont(sans(30, true));
    p.drawText(QRectF(0, h - 48, w - 14, 40), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Paginor"));
}

// Image2: a landscape with sun, hills and a lake.
void image2(QPainter& p, int w, int h) {
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(90, 150, 230));
    sky.setColorAt(1, QColor(200, 225, 250));
    p.fillRect(0, 0, w, h, sky);
    QRadialGradient sun(QPointF(w * 0.75, h * 0.25), 26);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(1, QColor(255, 200, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.75, h * 0.25), 24, 24);
    QPainterPath far;
    far.moveTo(0, h * 0.55);
    far.cubicTo(w * 0.25, h * 0.3, w * 0.45, h * 0.5, w * 0.6, h * 0.42);
    far.cubicTo(w * 0.8, h * 0.35, w * 0.9, h * 0.5, w, h * 0.45);
    far.lineTo(w, h);
    far.lineTo(0, h);
    p.setBrush(QColor(70, 130, 80));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(0, h * 0.75);
    near.cubicTo(w * 0.3, h * 0.6, w * 0.6, h * 0.85, w, h * 0.7);
    near.lineTo(w, h);
    near.lineTo(0, h);
    p.setBrush(QColor(40, 100, 50));
    p.drawPath(near);
    p.setBrush(QColor(60, 120, 200));
    p.drawEllipse(QRectF(w * 0.1, h * 0.8, w * 0.45, h * 0.12));
}

// Image3: overlapping translucent discs in primary colours.
void image3(QPainter& p, int w, int h) {
    p.fillRect(0, 0, w, h, QColor(250, 248, 240));
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(230, 40, 40, 170), QColor(40, 170, 60, 170),
                              QColor(40, 80, 230, 170), QColor(250, 200, 30, 170)};
    const QPointF centres[] = {
        {w * 0.35, h * 0.38}, {w * 0.62, h * 0.38}, {w * 0.35, h * 0.65}, {w * 0.62, h * 0.65}};
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(colours[i].darker(150), 2));
        p.setBrush(colours[i]);
        p.drawEllipse(centres[i], 52, 52);
    }
    p.setPen(QPen(QColor(80, 80, 80), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, 4, w - 8, h - 8));
}

// Image5: a bar chart with axes and a trend line.
void image5(QPainter& p, int w, int h) {
    p.fillRect(0, 0, w, h, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    const int left = 30, bottom = h - 24;
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(left, 12, left, bottom);
    p.drawLine(left, bottom, w - 12, bottom);
    const int values[] = {40, 75, 55, 100, 85, 130};
    const QColor bars[] = {QColor(70, 120, 200), QColor(200, 80, 70)};
    const int barWidth = (w - left - 24) / 6 - 6;
    QPolygonF trend;
    for (int i = 0; i < 6; ++i) {
        const int x = left + 8 + i * (barWidth + 6);
        p.setPen(Qt::NoPen);
        p.setBrush(bars[i % 2]);
        p.drawRect(x, bottom - values[i], barWidth, values[i]);
        trend << QPointF(x + barWidth / 2.0, bottom - values[i] - 8);
    }
    p.setPen(QPen(QColor(30, 150, 60), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(trend);
    p.setPen(Qt::black);
    p.setFont(sans(11, true));
    p.drawText(QRectF(left, bottom + 4, w - left, 18), Qt::AlignCenter,
               QStringLiteral("2021 - 2026"));
}

// The barcode for the label demo: black bars of a fixed pseudo-random pattern, clear ground.
void barcode(QPainter& p, int w, int h) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    unsigned seed = 0x5A17u;
    int x = 4;
    while (x < w - 6) {
        seed = seed * 1103515245u + 12345u;
        const int bar = 1 + static_cast<int>((seed >> 16) % 3);
        const int gap = 1 + static_cast<int>((seed >> 20) % 2);
        p.drawRect(x, 2, bar, h - 12);
        x += bar + gap;
    }
    p.setPen(Qt::black);
    p.setFont(sans(9));
    p.drawText(QRect(0, h - 11, w, 11), Qt::AlignCenter, QStringLiteral("4 006381 333931"));
}

void logo(QPainter& p, int w, int h) {
    p.fillRect(0, 0, w, h, Qt::white);
    sheet(p, QRectF(3, 3, 20, h - 7), QColor(150, 170, 200));
    p.setPen(QColor(30, 70, 150));
    p.setFont(sans(24, true));
    p.drawText(QRect(30, 0, w - 30, h), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Paginor"));
    p.setPen(QColor(200, 40, 40));
    p.setFont(sans(11));
    p.drawText(QRect(30, 0, w - 34, h), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("print preview"));
}

void panel(QPainter& p, int w, int h) {
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(240, 245, 255));
    g.setColorAt(1, QColor(180, 200, 235));
    p.fillRect(0, 0, w, h, g);
    sheet(p, QRectF(18, 12, 46, 64), QColor(150, 170, 200));
    magnifier(p, QPointF(58, 46), 16, QColor(30, 70, 150));
}

// ---- glyphs ----

void arrowGlyph(QPainter& p, int w, int h, bool up) {
    const qreal cx = w / 2.0;
    QPolygonF a;
    if (up)
        a << QPointF(cx, 2) << QPointF(w - 3, h * 0.5) << QPointF(3, h * 0.5);
    else
        a << QPointF(cx, h - 2) << QPointF(w - 3, h * 0.5) << QPointF(3, h * 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 120, 40));
    p.drawPolygon(a);
    p.drawRect(QRectF(cx - 2, up ? h * 0.5 : 3, 4, h * 0.45));
}

void glyphOpen(QPainter& p, int w, int h) {
    p.setPen(QPen(QColor(120, 90, 20), 1));
    p.setBrush(QColor(250, 210, 90));
    p.drawRect(QRectF(1, h * 0.3, w - 3, h * 0.6));
    p.drawRect(QRectF(1, h * 0.2, w * 0.4, h * 0.1));
}

void glyphSave(QPainter& p, int w, int h) {
    p.setPen(QPen(QColor(20, 20, 80), 1));
    p.setBrush(QColor(60, 80, 170));
    p.drawRect(QRectF(1, 1, w - 3, h - 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.25, 1, w * 0.5, h * 0.35));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(w * 0.2, h * 0.6, w * 0.6, h * 0.35));
}

void glyphPrint(QPainter& p, int w, int h) {
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.25, 1, w * 0.5, h * 0.4));
    p.setBrush(QColor(150, 150, 160));
    p.drawRect(QRectF(1, h * 0.35, w - 3, h * 0.4));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(w * 0.25, h * 0.6, w * 0.5, h * 0.38));
}

void glyphZoom(QPainter& p, int w, int h, int sign) {
    p.setRenderHint(QPainter::Antialiasing);
    magnifier(p, QPointF(w * 0.4, h * 0.4), w * 0.28, QColor(40, 40, 40));
    p.setPen(QPen(QColor(180, 20, 20), 2));
    p.drawLine(QPointF(w * 0.25, h * 0.4), QPointF(w * 0.55, h * 0.4));
    if (sign > 0) p.drawLine(QPointF(w * 0.4, h * 0.25), QPointF(w * 0.4, h * 0.55));
}

void glyphFit(QPainter& p, int w, int h, int kind) {
    sheet(p, QRectF(w * 0.2, 1, w * 0.6, h - 3), QColor(150, 170, 200));
    p.setPen(QPen(QColor(180, 20, 20), 2));
    if (kind == 0 || kind == 2) p.drawLine(QPointF(1, h / 2.0), QPointF(w - 1, h / 2.0));
    if (kind == 1 || kind == 2) p.drawLine(QPointF(w / 2.0, 1), QPointF(w / 2.0, h - 1));
}

void glyph100(QPainter& p, int w, int h) {
    p.setPen(QColor(30, 30, 120));
    p.setFont(sans(h / 2, true));
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("1:1"));
}

// ---- feature button pictures (32 x 32) ----

void featureAbout(QPainter& p, int w, int h) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    p.drawEllipse(QRectF(2, 2, w - 4, h - 4));
    p.setPen(Qt::white);
    p.setFont(sans(h * 2 / 3, true));
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("i"));
}

void featureCanvas(QPainter& p, int w, int h) {
    sheet(p, QRectF(4, 1, w - 10, h - 3), QColor(150, 170, 200));
    p.setPen(QColor(200, 30, 30));
    p.setFont(sans(h / 2, true));
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("Aa"));
}

void featureGraphics(QPainter& p, int w, int h) {
    image2(p, w, h);
}

void featureRichText(QPainter& p, int w, int h) {
    sheet(p, QRectF(4, 1, w - 10, h - 3), QColor(150, 170, 200));
    p.setPen(QColor(20, 20, 20));
    QFont f(QStringLiteral("Times New Roman"));
    f.setPixelSize(h / 2);
    f.setItalic(true);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QStringLiteral("R"));
}

void featureGrid(QPainter& p, int w, int h) {
    p.fillRect(1, 1, w - 2, h - 2, Qt::white);
    p.fillRect(1, 1, w - 2, h / 4, QColor(200, 200, 200));
    p.setPen(QColor(90, 90, 90));
    for (int x = 1; x < w; x += w / 4)
        p.drawLine(x, 1, x, h - 2);
    for (int y = 1; y < h; y += h / 4)
        p.drawLine(1, y, w - 2, y);
}

void featureTree(QPainter& p, int w, int h) {
    p.setPen(QPen(QColor(80, 80, 80), 1, Qt::DotLine));
    p.drawLine(6, 6, 6, h - 6);
    for (int y : {12, 20, 28})
        p.drawLine(6, y, 14, y);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(250, 210, 90));
    p.drawRect(2, 1, 8, 7);
    for (int y : {12, 20, 28})
        p.drawRect(15, y - 3, w - 18, 6);
}

void featureLabel(QPainter& p, int w, int h) {
    p.setPen(QColor(60, 60, 60));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 2; ++c) {
            p.setBrush(QColor(255, 250, 220));
            p.drawRoundedRect(QRectF(2 + c * (w / 2), 2 + r * (h / 3), w / 2 - 4, h / 3 - 4), 2, 2);
        }
}

void treeIcon(QPainter& p, int w, int h, int kind) {
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(250, 200, 60), QColor(70, 140, 220), QColor(220, 70, 70),
                              QColor(60, 170, 80), QColor(150, 90, 190)};
    p.setPen(QPen(colours[kind].darker(160), 1));
    p.setBrush(colours[kind]);
    switch (kind) {
    case 0: // folder
        p.drawRect(QRectF(1, 4, w - 3, h - 6));
        p.drawRect(QRectF(1, 2, w / 2.0 - 1, 2));
        break;
    case 1:
        sheet(p, QRectF(3, 1, w - 6, h - 3), colours[1]);
        break; // document
    case 2:
        p.drawEllipse(QRectF(1.5, 1.5, w - 3, h - 3));
        break; // dot
    case 3: {  // diamond
        QPolygonF d;
        d << QPointF(w / 2.0, 1) << QPointF(w - 1, h / 2.0) << QPointF(w / 2.0, h - 1)
          << QPointF(1, h / 2.0);
        p.drawPolygon(d);
        break;
    }
    default: { // star
        QPolygonF s;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5;
            const double r = i % 2 ? w * 0.22 : w * 0.48;
            s << QPointF(w / 2.0 + r * std::cos(a), h / 2.0 + r * std::sin(a));
        }
        p.drawPolygon(s);
        break;
    }
    }
}

const std::map<QString, Recipe>& recipes() {
    static const std::map<QString, Recipe> table = [] {
        std::map<QString, Recipe> t;
        t[QStringLiteral("Image1")] = {312, 231, false, image1};
        t[QStringLiteral("Image2")] = {240, 180, false, image2};
        t[QStringLiteral("Image3")] = {240, 180, false, image3};
        t[QStringLiteral("Image5")] = {240, 180, false, image5};
        t[QStringLiteral("Barcode")] = {135, 39, true, barcode};
        t[QStringLiteral("Logo")] = {227, 33, false, logo};
        t[QStringLiteral("AboutPanel")] = {99, 90, false, panel};
        t[QStringLiteral("GlyphOpen")] = {16, 16, true, glyphOpen};
        t[QStringLiteral("GlyphSave")] = {16, 16, true, glyphSave};
        t[QStringLiteral("GlyphPrint")] = {16, 16, true, glyphPrint};
        t[QStringLiteral("GlyphZoomIn")] = {
            16, 16, true, [](QPainter& p, int w, int h) { glyphZoom(p, w, h, 1); }};
        t[QStringLiteral("GlyphZoomOut")] = {
            16, 16, true, [](QPainter& p, int w, int h) { glyphZoom(p, w, h, -1); }};
        t[QStringLiteral("GlyphFitWidth")] = {
            16, 16, true, [](QPainter& p, int w, int h) { glyphFit(p, w, h, 0); }};
        t[QStringLiteral("GlyphFitHeight")] = {
            16, 16, true, [](QPainter& p, int w, int h) { glyphFit(p, w, h, 1); }};
        t[QStringLiteral("GlyphFitPage")] = {
            16, 16, true, [](QPainter& p, int w, int h) { glyphFit(p, w, h, 2); }};
        t[QStringLiteral("Glyph100")] = {16, 16, true, glyph100};
        t[QStringLiteral("GlyphRtfOpen")] = {
            16, 16, true, [](QPainter& p, int w, int h) { arrowGlyph(p, w, h, true); }};
        t[QStringLiteral("FeatureAbout")] = {32, 32, true, featureAbout};
        t[QStringLiteral("FeatureCanvas")] = {32, 32, true, featureCanvas};
        t[QStringLiteral("FeatureGraphics")] = {32, 32, false, featureGraphics};
        t[QStringLiteral("FeatureRichText")] = {32, 32, true, featureRichText};
        t[QStringLiteral("FeatureGrid")] = {32, 32, true, featureGrid};
        t[QStringLiteral("FeatureTree")] = {32, 32, true, featureTree};
        t[QStringLiteral("FeatureLabel")] = {32, 32, true, featureLabel};
        for (int i = 0; i < 5; ++i)
            t[QStringLiteral("Tree%1").arg(i)] = {
                16, 16, true, [i](QPainter& p, int w, int h) { treeIcon(p, w, h, i); }};
        return t;
    }();
    return table;
}

} // namespace

QStringList DemoPictureNames() {
    QStringList names;
    for (const auto& [name, recipe] : recipes())
        names << name;
    return names;
}

QImage DrawDemoPicture(const QString& name) {
    const auto it = recipes().find(name);
    if (it == recipes().end()) return {};
    const Recipe& r = it->second;
    QImage img(r.width, r.height, QImage::Format_ARGB32);
    img.fill(r.transparent ? Qt::transparent : Qt::white);
    QPainter p(&img);
    r.paint(p, r.width, r.height);
    return img;
}

QImage DemoPicture(const QString& name) {
    QImage img(QStringLiteral(":/demo/pictures/%1.png").arg(name));
    if (img.isNull()) img = DrawDemoPicture(name);
    return img;
}

QIcon DemoIcon(const QString& name) {
    return QIcon(QPixmap::fromImage(DemoPicture(name)));
}
