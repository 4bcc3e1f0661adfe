// The progress panel the strip shows while it lays out many thumbnails.
#include <QProgressBar>

#include "thumbnails/KpThumbnails.h"

namespace kp {

TKpProgressPanel::TKpProgressPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    resize(200, PanelHeight);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setGeometry(rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth));
    hide();
}

void TKpProgressPanel::resizeEvent(QResizeEvent* e) {
    QFrame::resizeEvent(e);
    bar_->setGeometry(rect().adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth));
}

void TKpProgressPanel::Reset() {
    bar_->setMaximum(100);
    bar_->setValue(0);
}

void TKpProgressPanel::SetPosition(int value) {
    bar_->setValue(value);
    repaint();
    if (OnPosition) OnPosition(value);
}

int TKpProgressPanel::Position() const {
    return bar_->value();
}

} // namespace kp
