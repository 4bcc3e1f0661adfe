#include "selectors/KpGlyphs.h"

#include <QString>

#include "preview/KpCursors.h"

namespace kp {

QImage KpLoadGlyph(const char* name) {
    KpEnsureResources();
    QImage image(QStringLiteral(":/paginor/%1").arg(QLatin1String(name)));
    if (image.isNull()) return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == key) line[x] = 0;
    }
    return image;
}

} // namespace kp
