#pragma once
// A paint device that keeps the texts drawn on it, with where they stand, and ignores
// everything else: a page drawn onto it gives its text. The device's coordinates are page
// pixels at its resolution.
#include "paginor/KpExport.h"

#include <memory>
#include <vector>

#include <QFont>
#include <QPaintDevice>
#include <QString>
#include <QTransform>

namespace kp {

class TKpPage;

// One text item as drawn: its own space has the start of the baseline at the origin and the
// text running along x; Map takes that space to page pixels.
struct PAGINOR_INTERNAL_EXPORT TKpTextRun {
    QString Text;
    QFont Font; // sized in pixels
    QTransform Map;
    qreal Width = -1; // the drawn advance; negative: the font's own, measured when asked
    qreal Ascent = 0;
    qreal Descent = 0;

    // The advance of the first n characters, stretched as the item was drawn.
    qreal Advance(int n) const;
    // The upright box in page pixels around characters [from, to).
    QRectF Box(int from, int to) const;
    // The advance of the whole text.
    qreal DrawnWidth() const;
};

class PAGINOR_INTERNAL_EXPORT TKpTextCollector : public QPaintDevice {
public:
    explicit TKpTextCollector(int dpi);
    ~TKpTextCollector() override;
    TKpTextCollector(const TKpTextCollector&) = delete;
    TKpTextCollector& operator=(const TKpTextCollector&) = delete;

    int Dpi() const { return dpi_; }
    std::vector<TKpTextRun>& Runs();
    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class Engine;
    std::unique_ptr<Engine> engine_;
    int dpi_;
};

// Every text the page draws (objects only, no header or footer), through the same drawing as
// its picture, at dpi pixels per inch.
PAGINOR_INTERNAL_EXPORT std::vector<TKpTextRun> CollectDrawnText(const TKpPage& page, int dpi);

} // namespace kp
