#pragma once
// The retained page picture: a size in screen pixels and either a vector recording
// (QPicture) or a source that draws the content straight onto whatever plays the picture.
// A picture with a source records itself only when someone asks for the recording (to
// save it, or to hand it to a host); playing it draws the source directly.
// A picture may also hold a metafile of the desktop platform (enhanced or 16-bit): it keeps
// those bytes as they are, plays them straight onto the target and hands them back unchanged
// for saving.
#include "paginor/KpExport.h"

#include <cstdint>
#include <memory>

#include <QByteArray>
#include <QPicture>
#include <QRect>
#include <QString>

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

// What a picture's content is: its own recording (or source), or platform metafile bytes.
enum class TKpPictureForm : uint8_t { Recording, Emf, Wmf };

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
    // Drops the recording, the source and the metafile bytes (the size stays).
    void Clear();
    bool Empty() const;
    // The recording, made from the source on first use.
    const QPicture& Picture() const;
    // The recording to write into: made from the source (or the metafile bytes) first, which
    // the picture then forgets (the recording is its content from here on).
    QPicture& Picture();
    // True once a recording exists (made, read or drawn into).
    bool Recorded() const;
    void Assign(const TKpMetafile& other);

    // From now on the content is what source draws; any recording is dropped. The source
    // is not owned and must outlive the picture or be replaced first.
    void SetSource(const TKpPictureSource* source);
    const TKpPictureSource* Source() const { return source_; }

    // Takes an enhanced or 16-bit metafile (told apart by content) as the content; its size
    // becomes its frame at screen resolution. False, and nothing changed, for other bytes.
    bool LoadFromBytes(const QByteArray& bytes);
    // LoadFromBytes of a file's content; std::runtime_error when the file cannot be read or
    // holds no metafile.
    void LoadFromFile(const QString& fileName);
    TKpPictureForm Form() const;
    // The metafile's bytes as they were given (empty for a recording).
    const QByteArray& MetafileBytes() const;

private:
    // The recording and the metafile bytes, behind one pointer: pages hold a picture each,
    // and most have neither.
    struct TContent;
    void record() const;

    mutable std::unique_ptr<TContent> content_;
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
