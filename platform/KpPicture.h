#pragma once
// The retained page picture: a size in screen pixels and either a vector recording
// (QPicture) or a source that draws the content straight onto whatever plays the picture.
// A picture with a source records itself only when someone asks for the recording (to
// save it, or to hand it to a host); playing it draws the source directly.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>

#include <QPicture>
#include <QRect>

class QPainter;

namespace kp {

class TKpDeviceCanvas;

// Draws a picture's content onto a canvas of the screen's resolution, at scale 1.
class PAGINOR_EXPORT TKpPictureSource {
public:
    virtual void DrawPicture(TKpDeviceCanvas& canvas) const = 0;
    // Changes whenever what DrawPicture draws has changed (a rebuild).
    virtual uint32_t PictureGeneration() const = 0;

protected:
    ~TKpPictureSource() = default;
};

class PAGINOR_EXPORT TKpMetafile {
public:
    TKpMetafile();
    ~TKpMetafile();
    // A copy is a recording (of the source, for a picture that has one).
    TKpMetafile(const TKpMetafile& other);
    TKpMetafile& operator=(const TKpMetafile& other);
    TKpMetafile(TKpMetafile&&) noexcept;
    TKpMetafile& operator=(TKpMetafile&&) noexcept;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int w) { width_ = w; }
    void SetHeight(int h) { height_ = h; }
    // Drops the recording and the source (the size stays).
    void Clear();
    bool Empty() const { return !source_ && (!picture_ || picture_->isNull()); }
    // The recording, made from the source on first use.
    const QPicture& Picture() const;
    // The recording to write into: made from the source first, which the picture then
    // forgets (the recording is its content from here on).
    QPicture& Picture();
    // True once a recording exists (made, read or drawn into).
    bool Recorded() const { return picture_ != nullptr; }
    void Assign(const TKpMetafile& other);

    // From now on the content is what source draws; any recording is dropped. The source
    // is not owned and must outlive the picture or be replaced first.
    void SetSource(const TKpPictureSource* source);
    const TKpPictureSource* Source() const { return source_; }

private:
    void record() const;

    mutable std::unique_ptr<QPicture> picture_;
    const TKpPictureSource* source_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Records onto a metafile at the screen's resolution for as long as it lives; the
// recording is complete when it is destroyed (or End is called).
class PAGINOR_EXPORT TKpMetafileCanvas {
public:
    explicit TKpMetafileCanvas(TKpMetafile& metafile);
    ~TKpMetafileCanvas();
    TKpMetafileCanvas(const TKpMetafileCanvas&) = delete;
    TKpMetafileCanvas& operator=(const TKpMetafileCanvas&) = delete;

    TKpDeviceCanvas& Canvas() { return *canvas_; }
    void End();

private:
    TKpMetafile& metafile_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<TKpDeviceCanvas> canvas_;
};

} // namespace kp
