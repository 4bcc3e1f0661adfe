#pragma once
// A preview inside a parent window (broadcasts need a parent), and small pixel helpers.
#include <memory>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QWidget>

#include "drawing/KpPage.h"
#include "object_builders.h"
#include "preview/KpPageImage.h"
#include "preview/KpPreview.h"

using namespace kp;

struct PreviewHost {
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    TKpPreview* preview; // owned by parent

    explicit PreviewHost(int w = 1000, int h = 800) {
        parent->resize(w + 20, h + 20);
        preview = new TKpPreview(parent.get());
        preview->setGeometry(0, 0, w, h);
        // Shown (offscreen), so the scroll area lays out its viewport and resize events
        // arrive as they would on screen.
        parent->show();
        QApplication::processEvents();
        preview->RefreshPage();
    }
    TKpPageImage& image() { return preview->PageImage(); }
};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) : widget_(w) { w->installEventFilter(this); }
    ~PaintCounter() override {
        if (widget_) widget_->removeEventFilter(this);
    }
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }

private:
    QWidget* widget_;
};

inline void settle() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

inline QRgb rgbAt(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}
inline bool isWhite(const QImage& img, int x, int y) {
    return rgbAt(img, x, y) == 0xFFFFFF;
}
inline bool isBlack(const QImage& img, int x, int y) {
    return rgbAt(img, x, y) == 0x000000;
}
