// Writes the picture seeds of the fuzz targets: recordings made by the drawing layer and a
// native document holding them (run with the seed folder as argument).
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include "drawing/KpCanvas.h"
#include "drawing/KpDocument.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpScreen.h"
#include "platform/KpScreenOverride.h"

using namespace kp;

namespace {

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

QByteArray bytesOf(const TKpMetafile& m) {
    return QByteArray(m.Picture().data(), static_cast<qsizetype>(m.Picture().size()));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kp::SetScreenPixelsPerInchOverride(96);
    const QDir root(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("corpus"));

    // Figures, text and a bitmap through the drawing layer.
    TKpMetafile figures;
    figures.SetWidth(40);
    figures.SetHeight(30);
    {
        TKpMetafileCanvas r(figures);
        TKpDeviceCanvas& c = r.Canvas();
        c.Rectangle(0, 0, 40, 30);
        c.Pen().SetWidth(3);
        c.Pen().SetStyle(psDash);
        c.Ellipse(2, 2, 30, 20);
        c.Pie(5, 5, 35, 25, 0, 0, 35, 15);
        c.Brush().SetStyle(bsDiagCross);
        c.Polygon({{1, 1}, {20, 5}, {5, 20}});
        c.Pen().SetMode(pmXor);
        c.Polyline({{0, 0}, {39, 29}});
        c.Font().SetEscapement(450);
        c.TextOut(4, 4, QStringLiteral("Ab"));
        c.SetClipRect(QRect(0, 0, 20, 20));
        QImage bits(4, 3, QImage::Format_ARGB32);
        bits.fill(Qt::red);
        c.StretchDraw(QRect(10, 10, 8, 6), bits);
    }
    // Qt's own painter: gradient, opacity, rounded path, a pixmap.
    TKpMetafile painted;
    painted.SetWidth(50);
    painted.SetHeight(50);
    {
        QPainter p(&painted.Picture());
        QLinearGradient g(0, 0, 50, 0);
        g.setColorAt(0, Qt::red);
        g.setColorAt(1, Qt::blue);
        p.setBrush(g);
        p.setPen(QPen(Qt::green, 2, Qt::DashDotLine));
        p.setOpacity(0.5);
        p.drawRoundedRect(5, 5, 40, 40, 4, 4);
        p.drawText(QRectF(0, 0, 50, 50), Qt::AlignCenter, QStringLiteral("Hi"));
        p.drawPixmap(0, 0, QPixmap::fromImage(QImage(3, 3, QImage::Format_RGB32)));
    }
    root.mkpath(QStringLiteral("picture"));
    root.mkpath(QStringLiteral("native"));
    write(root.filePath(QStringLiteral("picture/figures.qpic")), bytesOf(figures));
    write(root.filePath(QStringLiteral("picture/painted.qpic")), bytesOf(painted));

    // A native document with both pictures, one of them drawn as a bitmap.
    TKpDocument document;
    document.Canvas().StretchDraw(10, 10, 50, 40, &figures, kpMillimeters);
    document.Canvas().StretchDraw(60, 10, 100, 50, &painted, kpMillimeters);
    if (auto* g = dynamic_cast<TKpGraphicObject*>(document.Canvas().LastObject()))
        g->MetafileAsBitmap = true;
    document.NewPage();
    document.Canvas().Rectangle(10, 10, 50, 50, kpMillimeters);
    document.SaveToFile(root.filePath(QStringLiteral("native/pictures.kpp")));
    return 0;
}
