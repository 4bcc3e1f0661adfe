#pragma once
// Draws one page's band of a text column onto a painter in the page's own coordinates.
//
// The text engine paints a laid-out column at its column positions, which grow without bound
// down a long document. A painter that records (a page picture) keeps those numbers as they
// are, so page 200 would hold coordinates far beyond any page. This device takes what the
// engine paints and hands it on to the real painter moved up by the band's top, so each page
// records only its own coordinates. It also leaves out text that lies outside the band: the
// engine draws, hidden by the clip, the line just above a page's first one when both belong to
// one paragraph, and hidden text still reaches a PDF's text.
#include <memory>

#include <QPaintDevice>
#include <QRectF>

class QPainter;

namespace kp {

class TKpPageBandEngine;

class TKpPageBand : public QPaintDevice {
public:
    // Painting at column position (x, y) reaches `target` at (x, y - columnTop); the band is
    // the page's rectangle in the target's coordinates. `dpi` is what the device reports.
    TKpPageBand(QPainter& target, double columnTop, const QRectF& band, int dpi);
    ~TKpPageBand() override;
    TKpPageBand(const TKpPageBand&) = delete;
    TKpPageBand& operator=(const TKpPageBand&) = delete;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<TKpPageBandEngine> engine_;
    int dpi_;
};

} // namespace kp
