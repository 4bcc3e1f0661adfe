// A shown preview grabbed offscreen, like a screenshot, at two zooms: the sheet, its
// outline, the shadow strips and a drawn object land on the expected pixels.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QtMath>

#include "display_fixture.h"

namespace {

// Pixel lookups in logical pixels, whatever the grab's device pixel ratio (the suite also
// runs under QT_SCALE_FACTOR=2): the device pixel at the logical pixel's top-left corner.
QRgb at(const QImage& img, int x, int y) {
    const qreal r = img.devicePixelRatio();
    return img.pixel(qFloor(x * r), qFloor(y * r)) & 0xFFFFFF;
}
bool black(const QImage& img, int x, int y) {
    return at(img, x, y) == 0;
}
bool white(const QImage& img, int x, int y) {
    return at(img, x, y) == 0xFFFFFF;
}

struct GrabbedPreview {
    PreviewHost host;
    GrabbedPreview(int w, int h) : host(w, h) {
        // A red square from 1 inch to 2 inches on both axes (96..192 pixels at 100 %).
        kptest::AddRect(host.preview->GetPage(1), 2540, 2540, 5080, 5080, clRed, clRed);
        host.parent->show();
        host.preview->RefreshPage();
        settle();
    }
    // The preview's pixels and the page image's top-left corner in them.
    QImage grab(QPoint& origin) {
        settle();
        origin = host.image().mapTo(host.preview, QPoint(0, 0));
        return host.preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// Where page pixel p (at 100 %) lands on a sheet drawn n pixels wide for a picture of
// pictureSize pixels.
int onSheet(int origin, int p, int n, int pictureSize) {
    return origin + 30 + p * n / pictureSize;
}

void checkSheet(const QImage& img, QPoint o, const TKpPageImage& image, int pictureW,
                int pictureH) {
    const QRect r = image.PageRect();
    const int right = r.right() + 1, bottom = r.bottom() + 1;
    const int w = right - r.left(), h = bottom - r.top();
    // Outline.
    EXPECT_TRUE(black(img, o.x() + r.left(), o.y() + r.top() + h / 2));
    EXPECT_TRUE(black(img, o.x() + right - 1, o.y() + r.top() + h / 2));
    EXPECT_TRUE(black(img, o.x() + r.left() + w / 2, o.y() + r.top()));
    EXPECT_TRUE(black(img, o.x() + r.left() + w / 2, o.y() + bottom - 1));
    // White sheet away from the object.
    EXPECT_TRUE(white(img, o.x() + r.left() + w - 20, o.y() + r.top() + h - 20));
    EXPECT_TRUE(white(img, o.x() + r.left() + 5, o.y() + r.top() + 5));
    // Shadow strips, 3 pixels, starting 3 pixels in from the sheet's top and left.
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(black(img, o.x() + right + k, o.y() + r.top() + 3));
        EXPECT_TRUE(black(img, o.x() + right + k, o.y() + bottom - 1));
        EXPECT_TRUE(black(img, o.x() + r.left() + 3, o.y() + bottom + k));
        EXPECT_TRUE(black(img, o.x() + right + 2, o.y() + bottom + k));
    }
    EXPECT_FALSE(black(img, o.x() + right, o.y() + r.top() + 2));
    EXPECT_FALSE(black(img, o.x() + r.left() + 2, o.y() + bottom));
    EXPECT_FALSE(black(img, o.x() + right + 3, o.y() + r.top() + h / 2));
    // The red square, inside and just outside its edges.
    const int x1 = onSheet(o.x(), 96, w, pictureW), x2 = onSheet(o.x(), 192, w, pictureW);
    const int y1 = onSheet(o.y(), 96, h, pictureH), y2 = onSheet(o.y(), 192, h, pictureH);
    EXPECT_EQ(at(img, (x1 + x2) / 2, (y1 + y2) / 2), 0xFF0000u);
    EXPECT_EQ(at(img, x1 + 2, y1 + 2), 0xFF0000u);
    EXPECT_EQ(at(img, x2 - 2, y2 - 2), 0xFF0000u);
    EXPECT_TRUE(white(img, x1 - 3, (y1 + y2) / 2));
    EXPECT_TRUE(white(img, x2 + 3, (y1 + y2) / 2));
    EXPECT_TRUE(white(img, (x1 + x2) / 2, y1 - 3));
    EXPECT_TRUE(white(img, (x1 + x2) / 2, y2 + 3));
}

} // namespace

TEST(DisplayGrab, HundredPercent) {
    GrabbedPreview g(1000, 1300);
    g.host.preview->SetZoom(100);
    QPoint o;
    const QImage img = g.grab(o);
    ASSERT_EQ(g.host.image().width(), 854);
    checkSheet(img, o, g.host.image(), 794, 1123);
    EXPECT_EQ(g.host.image().x(), 69); // (1000 - 854 - 8) div 2
}

TEST(DisplayGrab, FortyPercentCentred) {
    GrabbedPreview g(700, 900);
    g.host.preview->SetZoom(40);
    QPoint o;
    const QImage img = g.grab(o);
    // 96 x 8.2677 x 0.4 = 317.48 -> 317; 96 x 11.6929 x 0.4 = 449.0 -> 449.
    ASSERT_EQ(g.host.image().width(), 60 + 317);
    ASSERT_EQ(g.host.image().height(), 60 + 449);
    // Placed (700 - 377 - 8) div 2 = 157 from the preview's left.
    EXPECT_EQ(g.host.image().x(), 157);
    checkSheet(img, o, g.host.image(), 794, 1123);
    // The gutter holds neither outline nor shadow.
    EXPECT_FALSE(black(img, o.x() + 29, o.y() + 100));
    EXPECT_FALSE(black(img, o.x() + 100, o.y() + 29));
}

TEST(DisplayGrab, ScrollingMovesTheSheetNotThePicture) {
    GrabbedPreview g(700, 900);
    g.host.preview->SetZoom(100);
    QPoint o1, o2;
    const QImage a = g.grab(o1);
    g.host.preview->SetVertPosition(100);
    const QImage b = g.grab(o2);
    EXPECT_EQ(o2.y(), o1.y() - 100);
    const QRect r = g.host.image().PageRect();
    const int h = r.height();
    const int y1 = onSheet(o2.y(), 96, h, 1123), y2 = onSheet(o2.y(), 192, h, 1123);
    const int x = onSheet(o2.x(), 144, r.width(), 794);
    ASSERT_GT(y1, 3);
    EXPECT_EQ(at(b, x, (y1 + y2) / 2), 0xFF0000u);
    EXPECT_EQ(at(b, x, y1 + 2), 0xFF0000u);
    EXPECT_TRUE(white(b, x, y1 - 3));
    EXPECT_TRUE(white(b, x, y2 + 3));
    // Before scrolling the same square sat 100 pixels lower.
    EXPECT_EQ(at(a, x, y1 + 102), 0xFF0000u);
    EXPECT_TRUE(white(a, x, y2 + 103));
}
