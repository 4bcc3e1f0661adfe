#pragma once
// A paint device that keeps the text and lines a page paints, at their device positions
// (96 pixels per inch).
#include <vector>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

// Keeps the text and lines a page paints, at their device positions.
class TRecordingEngine : public QPaintEngine {
public:
    struct TText {
        QPointF at;
        QString text;
    };
    std::vector<TText> texts;
    std::vector<QLineF> lines;
    TRecordingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        texts.push_back({painter()->combinedTransform().map(p), item.text()});
    }
    void drawLines(const QLineF* l, int n) override {
        for (int i = 0; i < n; ++i)
            lines.push_back(painter()->combinedTransform().map(l[i]));
    }
    Type type() const override { return User; }
};

class TRecordingDevice : public QPaintDevice {
public:
    TRecordingEngine engine;
    QPaintEngine* paintEngine() const override { return const_cast<TRecordingEngine*>(&engine); }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight:
            return 2000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 1;
        }
    }
};
