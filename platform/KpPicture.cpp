#include "platform/KpPicture.h"

#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpScreen.h"

void TKpMetafile::Clear() { picture_ = QPicture(); }

void TKpMetafile::Assign(const TKpMetafile& other) {
    picture_ = other.picture_;
    width_ = other.width_;
    height_ = other.height_;
}

TKpMetafileCanvas::TKpMetafileCanvas(TKpMetafile& metafile) : metafile_(metafile) {
    metafile_.Clear();
    painter_ = std::make_unique<QPainter>(&metafile_.Picture());
    const int ppi = ScreenPixelsPerInch();
    canvas_ = std::make_unique<TKpDeviceCanvas>(painter_.get(), ppi, ppi);
}

TKpMetafileCanvas::~TKpMetafileCanvas() { End(); }

void TKpMetafileCanvas::End() {
    if (!painter_) return;
    canvas_.reset();
    painter_->end();
    painter_.reset();
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    metafile_.Picture().setBoundingRect(QRect(0, 0, metafile_.Width(), metafile_.Height()));
}
