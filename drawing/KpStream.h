#pragma once
// The typed chunk stream every document record is written with: a growable byte buffer
// with a position, little-endian primitives, and length-prefixed chunks. A chunk read from
// another extended stream is a view into the parent's bytes (nothing is copied); writing
// to such a view first takes a private copy.
#include "paginor/KpExport.h"

#include <cstdint>
#include <stdexcept>
#include <string>

#include <QByteArray>
#include <QSet>
#include <QString>

#include "drawing/KpExtended.h"
#include "drawing/KpObjects.h"

class QIODevice;

namespace kp {

class TKpExtStream;

// A document or chunk that ends before its stated length, or bytes that are not a document.
class PAGINOR_EXPORT EReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a reader found wrong, for callers that handle some faults and pass the others on.
enum class TKpReadErrorKind : uint8_t {
    Truncated,    // the bytes end before a value, chunk or image they state
    BadCount,     // a count or length that is negative or more than its bytes could hold
    OutOfRange,   // an enumeration value outside its range ("<what> <value> is out of range")
    UnknownType,  // an object type id or image kind the reader does not know
    BadImage,     // an embedded image in no stored form, or one its check refused
    NotADocument, // no plausible version number in front
    TooDeep       // value lists nested deeper than the reader follows
};
// A read error that says what was wrong and where. Offset is the byte at which the faulty
// value, chunk or record starts, counted from the start of the outermost stream or file
// (-1 when it is not known). The message is the one an untyped error would carry.
class PAGINOR_EXPORT EStreamReadError : public EReadError {
public:
    EStreamReadError(TKpReadErrorKind kind, int64_t offset, const std::string& message)
        : EReadError(message), Kind(kind), Offset(offset) {}
    TKpReadErrorKind Kind;
    int64_t Offset;
};
// Raises the error again with context in front of its message ("Page 2: ..."), keeping its
// kind and offset when it has them.
[[noreturn]] PAGINOR_EXPORT void ThrowReadErrorIn(const QString& context, const EReadError& error);
// The target refused bytes while saving.
class PAGINOR_EXPORT EWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// A document file that cannot be opened ("Cannot open file %s") or created
// ("Cannot create file %s").
class PAGINOR_EXPORT EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An enumeration value read from a file, refused with EStreamReadError ("<what> <value> is out
// of range", OutOfRange at offset) unless it is from 0 to last.
int32_t CheckedEnum(int32_t value, int32_t last, const char* what, int64_t offset = -1);
// The same for the integer read from the stream at its position.
int32_t CheckedEnum(TKpExtStream& stream, int32_t last, const char* what);

// The leading version number of a document: a normal positive value from 1 up to 100.
PAGINOR_EXPORT bool IsPlausibleDocumentVersion(const TKpExt80& version);
// Reads the 10 version bytes; EReadError ("Not a document file ...") when fewer are there or
// they hold no plausible version.
PAGINOR_EXPORT TKpExt80 ReadDocumentVersion(QIODevice& source);

// A text angle as read from a file, made safe to draw: not a number or infinite gives 0,
// and turns beyond a million degrees are reduced modulo 360 (the same direction).
PAGINOR_EXPORT Extended SanitizeFontAngle(Extended degrees);
// A font size as read from a file, kept within what the drawing layer can turn into a pixel
// height without overflow: +-MaxFontPoints.
constexpr int32_t MaxFontPoints = 16384;
PAGINOR_EXPORT int32_t SanitizeFontSize(int32_t points);

// "B", "I", "U", "S" for the styles present, in that order.
PAGINOR_EXPORT QString FontStyleToText(TFontStyles style);
// Each style whose capital letter occurs anywhere in the text.
PAGINOR_EXPORT TFontStyles TextToFontStyle(const QString& text);

// The texts of one document being read: a text met again is shared with its first
// reading, so a report's repeated texts are held once.
class PAGINOR_EXPORT TKpStringPool {
public:
    QString Intern(const QString& text);

private:
    QSet<QString> texts_;
};

class PAGINOR_EXPORT TKpExtStream {
public:
    TKpExtStream() = default;
    explicit TKpExtStream(const QByteArray& bytes) : buffer_(bytes.constData(), bytes.size()) {}
    TKpExtStream(const TKpExtStream&) = delete;
    TKpExtStream& operator=(const TKpExtStream&) = delete;

    const char* Data() const { return view_ ? view_ : buffer_.data(); }
    int64_t Size() const { return view_ ? viewSize_ : static_cast<int64_t>(buffer_.size()); }
    int64_t Position() const { return pos_; }
    // The position counted from the start of the outermost stream or file this one is a
    // chunk of, where read errors say they are; -1 in what was read from a device that has
    // no positions.
    int64_t Offset() const { return origin_ < 0 ? -1 : origin_ + pos_; }
    void SetPosition(int64_t p) { pos_ = p < 0 ? 0 : p; }
    int64_t Remaining() const { return pos_ < Size() ? Size() - pos_ : 0; }
    // A copy of the whole content.
    QByteArray Bytes() const;
    // Replaces the whole content (a host that changed it through an adapter).
    void SetBytes(const QByteArray& bytes);
    // Makes the content the stream's own (a view of a parent's bytes is copied).
    void Detach() { detach(); }
    void Clear();
    void Reserve(int64_t n) { buffer_.reserve(static_cast<size_t>(n)); }
    // Texts read from now on, and from the chunks loaded from this stream, are shared
    // through pool (none: each text is its own).
    void SetStringPool(TKpStringPool* pool) { strings_ = pool; }

    // Reads up to n bytes at the position; returns how many were there.
    int64_t Read(void* dest, int64_t n);
    // Reads exactly n bytes or raises "Stream read error".
    void ReadExact(void* dest, int64_t n);
    void Write(const void* src, int64_t n);

    // Before the end: 4 bytes (the missing high bytes 0 when fewer remain); at or past the
    // end: 0 without reading.
    int32_t ReadInteger();
    uint8_t ReadByte();
    double ReadDouble();
    Extended ReadExtended();
    TKpExt80 ReadExt80();
    // n, then n bytes of text in the Western Windows code page; empty for n <= 0. A length
    // beyond the end is an error.
    QString ReadString();
    TKpBrushData ReadBrush();
    TKpPenData ReadPen();
    TKpFontData ReadFont();

    void WriteInteger(int32_t v);
    void WriteByte(uint8_t v);
    void WriteDouble(double v);
    void WriteExtended(Extended v);
    void WriteExt80(const TKpExt80& v);
    void WriteString(const QString& s);
    void WriteBrush(const TKpBrushData& b);
    void WritePen(const TKpPenData& p);
    void WriteFont(const TKpFontData& f);

    // Takes one chunk (4-byte length L, then L bytes) from the source: this stream becomes
    // its content at position 0, and exactly 4 + L bytes of the source are consumed. A
    // source holding fewer raises "Stream read error" before anything is allocated.
    void LoadChunk(TKpExtStream& source);
    void LoadChunk(QIODevice& source);
    // Appends the whole content to the target as one chunk.
    void SaveChunk(TKpExtStream& target) const;
    void SaveChunk(QIODevice& target) const;

    // Writes a chunk in place: BeginChunk reserves its length word, EndChunk fills it with
    // the size of what was written since. Same bytes as a separate stream and SaveChunk.
    int64_t BeginChunk();
    void EndChunk(int64_t mark);

private:
    void detach();

    std::string buffer_;
    const char* view_ = nullptr; // a parent's bytes while reading a chunk of it
    int64_t viewSize_ = 0;
    int64_t pos_ = 0;
    int64_t origin_ = 0; // where byte 0 stands in the outermost stream or file; -1 unknown
    TKpStringPool* strings_ = nullptr;
};

} // namespace kp
