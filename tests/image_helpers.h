#pragma once
// Pixel helpers shared by the rendering tests: white images at a chosen resolution and the
// ink (non-white pixels) found on them.
#include <QImage>
#include <QRect>

namespace testimg {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

inline QImage whiteImage(int w, int h, int dpi = 96) {
    QImage img(w, h, QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    return img;
}

// Non-white pixels inside r (the whole image when r is empty).
inline int inkCount(const QImage& img, QRect r = {}) {
    if (r.isNull()) r = img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != kWhite) ++n;
    return n;
}

// The smallest rectangle holding every non-white pixel.
inline QRect inkBounds(const QImage& img) {
    QRect b;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != kWhite) b |= QRect(x, y, 1, 1);
    return b;
}

} // namespace testimg
