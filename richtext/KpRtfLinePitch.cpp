#include "richtext/KpRtfLinePitch.h"

#include <cmath>

#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QtEndian>

namespace kp {

namespace rtf {
namespace {

constexpr int kMeasureSize = 1000; // pixels: large enough that rounding does not count
// PostScript Type 1 fonts have no such table; their customary single line is 1.2 em, which is
// also what the same families' OpenType versions say.
constexpr double kType1Pitch = 1.2;

qint16 Signed16(const QByteArray& table, int at) {
    return qFromBigEndian<qint16>(table.constData() + at);
}

double Measure(const QFont& font) {
    QFont f(font);
    f.setPixelSize(kMeasureSize);
    const QRawFont raw = QRawFont::fromFont(f);
    if (!raw.isValid() || raw.unitsPerEm() <= 0) return 1;
    const QByteArray hhea = raw.fontTable("hhea");
    double em = kType1Pitch;
    if (hhea.size() >= 10) { // ascender, descender (negative) and line gap, in font units
        em = (double(Signed16(hhea, 4)) - double(Signed16(hhea, 6)) + double(Signed16(hhea, 8))) /
             raw.unitsPerEm();
    } else if (!raw.fontTable("head").isEmpty()) {
        return 1; // an sfnt font without the table: nothing to go by
    }
    const double qt = QFontMetricsF(f).lineSpacing();
    if (em <= 0 || qt <= 0) return 1;
    const double factor = em * kMeasureSize / qt;
    // A table that disagrees wildly is not trusted.
    return factor > 0.5 && factor < 2 ? factor : 1;
}

} // namespace

double LinePitchFactor(const QFont& font) {
    static QMutex mutex;
    static QHash<QString, double> known;
    const QString key = font.families().join(QLatin1Char(',')) + QLatin1Char('/') +
                        QString::number(font.weight()) + QLatin1Char(font.italic() ? 'i' : 'r');
    const QMutexLocker lock(&mutex);
    auto it = known.constFind(key);
    if (it != known.constEnd()) return *it;
    const double factor = Measure(font);
    known.insert(key, factor);
    return factor;
}

} // namespace rtf

} // namespace kp
