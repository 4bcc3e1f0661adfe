#include "platform/KpPicture.h"

#include <QPainter>

#include "platform/KpDeviceCanvas.h"
#include "platform/KpScreen.h"

namespace kp {

TKpMetafile::TKpMetafile() = default;
TKpMetafile::~TKpMetafile() = default;
TKpMetafile::TKpMetafile(TKpMetafile&&) noexcept = default;
TKpMetafile& TKpMetafile::operator=(TKpMetafile&&) noexcept = default;

TKpMetafile::TKpMetafile(const TKpMetafile& other) {
    Assign(other);
}

TKpMetafile& TKpMetafile::operator=(const TKpMetafile& other) {
    if (this != &other) Assign(other);
    return *this;
}

void TKpMetafile::Clear() {
    picture_.reset();
    source_ = nullptr;
}

const QPicture& TKpMetafile::Picture() const {
    if (!picture_) {
        if (source_)
            record();
        else
            picture_ = std::make_unique<QPicture>();
    }
    return *picture_;
}

QPicture& TKpMetafile::Picture() {
    const QPicture& recording = static_cast<const TKpMetafile&>(*this).Picture();
    source_ = nullptr;
    return const_cast<QPicture&>(recording);
}

void TKpMetafile::Assign(const TKpMetafile& other) {
    std::unique_ptr<QPicture> copy =
        other.Empty() ? nullptr : std::make_unique<QPicture>(other.Picture());
    picture_ = std::move(copy);
    source_ = nullptr;
    width_ = other.width_;
    height_ = other.height_;
}

void TKpMetafile::SetSource(const TKpPictureSource* source) {
    picture_.reset();
    source_ = source;
}

void TKpMetafile::record() const {
    auto picture = std::make_unique<QPicture>();
    {
        QPainter painter(picture.get());
        const int ppi = ScreenPixelsPerInch();
        TKpDeviceCanvas canvas(&painter, ppi, ppi);
        source_->DrawPicture(canvas);
    }
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    picture->setBoundingRect(QRect(0, 0, width_, height_));
    picture_ = std::move(picture);
}

TKpMetafileCanvas::TKpMetafileCanvas(TKpMetafile& metafile) : metafile_(metafile) {
    metafile_.Clear();
    painter_ = std::make_unique<QPainter>(&metafile_.Picture());
    const int ppi = ScreenPixelsPerInch();
    canvas_ = std::make_unique<TKpDeviceCanvas>(painter_.get(), ppi, ppi);
}

TKpMetafileCanvas::~TKpMetafileCanvas() {
    End();
}

void TKpMetafileCanvas::End() {
    if (!painter_) return;
    canvas_.reset();
    painter_->end();
    painter_.reset();
    // The picture's own bounding box follows what was drawn; the page size is the frame.
    metafile_.Picture().setBoundingRect(QRect(0, 0, metafile_.Width(), metafile_.Height()));
}

} // namespace kp
