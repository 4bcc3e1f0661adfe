#include "drawing/KpTextCollector.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include "drawing/KpDocument.h"
#include "drawing/KpDrawContext.h"
#include "drawing/KpPage.h"
#include "platform/KpDeviceCanvas.h"

namespace kp {

qreal TKpTextRun::DrawnWidth() const {
    return Width >= 0 ? Width : QFontMetricsF(Font).horizontalAdvance(Text);
}

qreal TKpTextRun::Advance(int n) const {
    if (n <= 0) return 0;
    const QFontMetricsF fm(Font);
    if (n >= Text.size()) return Width >= 0 ? Width : fm.horizontalAdvance(Text);
    const qreal part = fm.horizontalAdvance(Text.left(n));
    if (Width < 0) return part;
    // Justified or stretched text: its characters share the drawn width as their advances do.
    const qreal natural = fm.horizontalAdvance(Text);
    return natural > 0 ? part * Width / natural : part;
}

QRectF TKpTextRun::Box(int from, int to) const {
    const qreal x0 = Advance(from), x1 = Advance(to);
    return Map.mapRect(QRectF(x0, -Ascent, x1 - x0, Ascent + Descent));
}

// Keeps text items and the transform they are drawn under; draws nothing. It claims every
// feature so that the painter hands it text as text, under its full transform.
class TKpTextCollector::Engine : public QPaintEngine {
public:
    Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & QPaintEngine::DirtyTransform) transform_ = state.transform();
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        QString text = item.text();
        if (text.isEmpty()) return;
        TKpTextRun run;
        run.Text = std::move(text);
        run.Font = item.font();
        run.Map = QTransform::fromTranslate(p.x(), p.y()) * transform_;
        run.Width = item.width();
        // The cell the drawing layer gives a line of text: whole-pixel ascent and descent.
        const QFontMetrics fm(run.Font);
        run.Ascent = fm.ascent();
        run.Descent = fm.descent();
        runs.push_back(std::move(run));
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
    }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawLines(const QLineF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawRects(const QRect*, int) override {}
    void drawEllipse(const QRectF&) override {}
    void drawEllipse(const QRect&) override {}
    void drawPoints(const QPointF*, int) override {}
    void drawPoints(const QPoint*, int) override {}

    std::vector<TKpTextRun> runs;

private:
    QTransform transform_;
};

TKpTextCollector::TKpTextCollector(int dpi) : engine_(std::make_unique<Engine>()), dpi_(dpi) {}
TKpTextCollector::~TKpTextCollector() = default;

std::vector<TKpTextRun>& TKpTextCollector::Runs() {
    return engine_->runs;
}

QPaintEngine* TKpTextCollector::paintEngine() const {
    return engine_.get();
}

int TKpTextCollector::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth:
    case PdmHeight:
        return 1 << 20; // no page is larger; nothing is clipped away by the device
    case PdmWidthMM:
    case PdmHeightMM:
        return static_cast<int>((1LL << 20) * 254 / (10LL * dpi_));
    case PdmNumColors:
        return 1 << 24;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return dpi_;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    default:
        return 0;
    }
}

std::vector<TKpTextRun> CollectDrawnText(const TKpPage& page, int dpi) {
    TKpTextCollector collector(dpi);
    {
        QPainter painter(&collector);
        TKpDeviceCanvas canvas(&painter, dpi, dpi);
        TKpDrawContext context;
        if (const TKpDocument* document = page.Owner()) context = document->DrawContext(false);
        TKpPageDrawing how;
        DrawPage(canvas, page, context, how);
    }
    return std::move(collector.Runs());
}

} // namespace kp
