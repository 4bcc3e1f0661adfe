#pragma once
// How embedded images are kept inside a graphic record. Each stored form carries its own
// size, so a reader finds the fields after it, and can skip an image it does not need.
//
// Bitmaps are bitmap files with their 14-byte file header ("BM", then the file size).
// Pictures are a form of our own: the tag "KPQP", a 4-byte total size (tag and size
// included), the width and height in pixels, then the recording's own bytes, which are
// checked before they are kept. An enhanced metafile of the original platform (it states
// its own length) is kept as its bytes and written back as it came; a 16-bit metafile, which
// states no length this reader could trust, is written as a recording of itself.
#include "paginor/KpExport.h"

#include <cstdint>

#include <QByteArray>

namespace kp {

class TKpExtStream;
class TKpMetafile;

namespace KpPictureStore {

// Writes the picture in its stored form.
PAGINOR_EXPORT void WritePicture(TKpExtStream& stream, const TKpMetafile& picture);
// Reads a stored picture into the given metafile; EReadError when it is cut short, in a
// form this reader does not know, or a recording that fails the checks.
PAGINOR_EXPORT void ReadPicture(TKpExtStream& stream, TKpMetafile& picture);

// Writes a bitmap file as is (it already starts with its file header). An empty one is
// written as a bare 14-byte header, so that the reader still finds its end.
PAGINOR_EXPORT void WriteBitmap(TKpExtStream& stream, const QByteArray& bitmapFile);
// The bytes of one bitmap file (empty for the bare header); EReadError when the stated
// size is impossible or larger than what remains.
PAGINOR_EXPORT QByteArray ReadBitmap(TKpExtStream& stream);

// Passes over one stored image of either form without decoding it; returns its size.
PAGINOR_EXPORT int64_t SkipImage(TKpExtStream& stream);

} // namespace KpPictureStore

} // namespace kp
