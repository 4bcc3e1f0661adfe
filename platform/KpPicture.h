#pragma once
// The retained page picture: a vector recording (QPicture) with a size in screen pixels,
// replayed stretched into any rectangle.
#include "paginor/KpExport.h"

#include <memory>

#include <QPicture>
#include <QRect>

class QPainter;
class TKpDeviceCanvas;

class PAGINOR_EXPORT TKpMetafile {
public:
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int w) { width_ = w; }
    void SetHeight(int h) { height_ = h; }
    // Drops the recording (the size stays).
    void Clear();
    bool Empty() const { return picture_.isNull(); }
    const QPicture& Picture() const { return picture_; }
    QPicture& Picture() { return picture_; }
    void Assign(const TKpMetafile& other);

private:
    QPicture picture_;
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
