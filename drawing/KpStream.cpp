#include "drawing/KpStream.h"

#include <cmath>
#include <cstring>

#include <QIODevice>

#include "drawing/KpCodePage.h"

namespace kp {

namespace {

const char* const kReadError = "Stream read error";

[[noreturn]] void Fail(TKpReadErrorKind kind, int64_t offset, const std::string& message) {
    throw EStreamReadError(kind, offset, message);
}

// Source bytes are copied in steps no larger than this, so a length word claiming more
// than a sequential source really holds never allocates more than what arrived.
constexpr int64_t kCopyStep = 1 << 20;

} // namespace

Extended SanitizeFontAngle(Extended degrees) {
    if (!std::isfinite(degrees)) return 0;
    if (std::fabs(degrees) >= 1e6L) return std::fmod(degrees, Extended(360));
    return degrees;
}

int32_t SanitizeFontSize(int32_t points) {
    return points > MaxFontPoints    ? MaxFontPoints
           : points < -MaxFontPoints ? -MaxFontPoints
                                     : points;
}

int32_t CheckedEnum(int32_t value, int32_t last, const char* what, int64_t offset) {
    if (value < 0 || value > last)
        Fail(TKpReadErrorKind::OutOfRange, offset,
             std::string(what) + " " + std::to_string(value) + " is out of range");
    return value;
}

int32_t CheckedEnum(TKpExtStream& stream, int32_t last, const char* what) {
    const int64_t at = stream.Offset();
    return CheckedEnum(stream.ReadInteger(), last, what, at);
}

void ThrowReadErrorIn(const QString& context, const EReadError& error) {
    const std::string message = (context + QString::fromStdString(error.what())).toStdString();
    if (const auto* typed = dynamic_cast<const EStreamReadError*>(&error))
        throw EStreamReadError(typed->Kind, typed->Offset, message);
    throw EReadError(message);
}

QString FontStyleToText(TFontStyles style) {
    QString s;
    if (style & FontStyleBit(fsBold)) s += QLatin1Char('B');
    if (style & FontStyleBit(fsItalic)) s += QLatin1Char('I');
    if (style & FontStyleBit(fsUnderline)) s += QLatin1Char('U');
    if (style & FontStyleBit(fsStrikeOut)) s += QLatin1Char('S');
    return s;
}

TFontStyles TextToFontStyle(const QString& text) {
    TFontStyles style = 0;
    if (text.contains(QLatin1Char('B'))) style |= FontStyleBit(fsBold);
    if (text.contains(QLatin1Char('I'))) style |= FontStyleBit(fsItalic);
    if (text.contains(QLatin1Char('U'))) style |= FontStyleBit(fsUnderline);
    if (text.contains(QLatin1Char('S'))) style |= FontStyleBit(fsStrikeOut);
    return style;
}

QByteArray TKpExtStream::Bytes() const {
    return QByteArray(Data(), static_cast<qsizetype>(Size()));
}

void TKpExtStream::SetBytes(const QByteArray& bytes) {
    view_ = nullptr;
    viewSize_ = 0;
    buffer_.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (pos_ > Size()) pos_ = Size();
}

void TKpExtStream::Clear() {
    buffer_.clear();
    view_ = nullptr;
    viewSize_ = 0;
    pos_ = 0;
    origin_ = 0;
}

void TKpExtStream::detach() {
    if (!view_) return;
    buffer_.assign(view_, static_cast<size_t>(viewSize_));
    view_ = nullptr;
    viewSize_ = 0;
}

int64_t TKpExtStream::Read(void* dest, int64_t n) {
    const int64_t count = n < Remaining() ? n : Remaining();
    if (count <= 0) return 0;
    std::memcpy(dest, Data() + pos_, static_cast<size_t>(count));
    pos_ += count;
    return count;
}

void TKpExtStream::ReadExact(void* dest, int64_t n) {
    if (n < 0 || n > Remaining()) Fail(TKpReadErrorKind::Truncated, Offset(), kReadError);
    Read(dest, n);
}

void TKpExtStream::Write(const void* src, int64_t n) {
    if (n <= 0) return;
    detach();
    const int64_t size = static_cast<int64_t>(buffer_.size());
    if (pos_ == size) {
        buffer_.append(static_cast<const char*>(src), static_cast<size_t>(n));
    } else {
        if (pos_ > size) buffer_.resize(static_cast<size_t>(pos_), '\0');
        if (pos_ + n > static_cast<int64_t>(buffer_.size()))
            buffer_.resize(static_cast<size_t>(pos_ + n));
        std::memcpy(buffer_.data() + pos_, src, static_cast<size_t>(n));
    }
    pos_ += n;
}

int32_t TKpExtStream::ReadInteger() {
    if (pos_ >= Size()) return 0;
    uint8_t b[4] = {0, 0, 0, 0};
    Read(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
}

uint8_t TKpExtStream::ReadByte() {
    uint8_t b = 0;
    Read(&b, 1);
    return b;
}

double TKpExtStream::ReadDouble() {
    uint8_t b[8] = {};
    Read(b, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b[i];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

TKpExt80 TKpExtStream::ReadExt80() {
    TKpExt80 e;
    Read(e.Bytes.data(), 10);
    return e;
}

Extended TKpExtStream::ReadExtended() {
    return Ext80ToExtended(ReadExt80());
}

QString TKpExtStream::ReadString() {
    const int64_t at = Offset();
    const int32_t n = ReadInteger();
    if (n <= 0) return QString();
    if (n > Remaining()) Fail(TKpReadErrorKind::Truncated, at, kReadError);
    const QString s = FromWindows1252(Data() + pos_, n);
    pos_ += n;
    return strings_ ? strings_->Intern(s) : s;
}

QString TKpStringPool::Intern(const QString& text) {
    const auto found = texts_.constFind(text);
    if (found != texts_.constEnd()) return *found;
    texts_.insert(text);
    return text;
}

TKpBrushData TKpExtStream::ReadBrush() {
    TKpExtStream chunk;
    chunk.LoadChunk(*this);
    TKpBrushData b;
    b.Color = static_cast<TColor>(chunk.ReadInteger());
    b.Style = static_cast<TBrushStyle>(CheckedEnum(chunk, bsDiagCross, "brush style"));
    return b;
}

TKpPenData TKpExtStream::ReadPen() {
    TKpExtStream chunk;
    chunk.LoadChunk(*this);
    TKpPenData p;
    p.Color = static_cast<TColor>(chunk.ReadInteger());
    p.Style = static_cast<TPenStyle>(CheckedEnum(chunk, psInsideFrame, "pen style"));
    p.Width = chunk.ReadInteger();
    p.Mode = static_cast<TPenMode>(CheckedEnum(chunk, pmNotXor, "pen mode"));
    return p;
}

TKpFontData TKpExtStream::ReadFont() {
    TKpExtStream chunk;
    chunk.LoadChunk(*this);
    TKpFontData f;
    f.Angle = SanitizeFontAngle(chunk.ReadExtended());
    f.Color = static_cast<TColor>(chunk.ReadInteger());
    f.Name = chunk.ReadString();
    f.Size = SanitizeFontSize(chunk.ReadInteger());
    f.Style = TextToFontStyle(chunk.ReadString());
    return f;
}

void TKpExtStream::WriteInteger(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                          static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    Write(b, 4);
}

void TKpExtStream::WriteByte(uint8_t v) {
    Write(&v, 1);
}

void TKpExtStream::WriteDouble(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    uint8_t b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<uint8_t>(bits >> (8 * i));
    Write(b, 8);
}

void TKpExtStream::WriteExt80(const TKpExt80& v) {
    Write(v.Bytes.data(), 10);
}

void TKpExtStream::WriteExtended(Extended v) {
    WriteExt80(ExtendedToExt80(v));
}

void TKpExtStream::WriteString(const QString& s) {
    const QByteArray bytes = ToWindows1252(s);
    WriteInteger(static_cast<int32_t>(bytes.size()));
    Write(bytes.constData(), bytes.size());
}

void TKpExtStream::WriteBrush(const TKpBrushData& b) {
    const int64_t mark = BeginChunk();
    WriteInteger(static_cast<int32_t>(b.Color));
    WriteInteger(b.Style);
    EndChunk(mark);
}

void TKpExtStream::WritePen(const TKpPenData& p) {
    const int64_t mark = BeginChunk();
    WriteInteger(static_cast<int32_t>(p.Color));
    WriteInteger(p.Style);
    WriteInteger(p.Width);
    WriteInteger(p.Mode);
    EndChunk(mark);
}

void TKpExtStream::WriteFont(const TKpFontData& f) {
    const int64_t mark = BeginChunk();
    WriteExtended(f.Angle);
    WriteInteger(static_cast<int32_t>(f.Color));
    WriteString(f.Name);
    WriteInteger(f.Size);
    WriteString(FontStyleToText(f.Style));
    EndChunk(mark);
}

void TKpExtStream::LoadChunk(TKpExtStream& source) {
    const int64_t at = source.Offset();
    uint8_t b[4];
    source.ReadExact(b, 4);
    const int64_t length = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (b[1] << 8) |
                                                (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24));
    if (length < 0) Fail(TKpReadErrorKind::BadCount, at, kReadError);
    if (length > source.Remaining()) Fail(TKpReadErrorKind::Truncated, at, kReadError);
    buffer_.clear();
    view_ = source.Data() + source.pos_;
    viewSize_ = length;
    pos_ = 0;
    origin_ = source.Offset();
    strings_ = source.strings_;
    source.pos_ += length;
}

void TKpExtStream::LoadChunk(QIODevice& source) {
    // A sequential device has no positions: offsets in what is read from it are not known.
    const int64_t at = source.isSequential() ? -1 : source.pos();
    char b[4];
    if (source.read(b, 4) != 4) Fail(TKpReadErrorKind::Truncated, at, kReadError);
    const int64_t length =
        static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(b[0])) |
                             (static_cast<uint32_t>(static_cast<uint8_t>(b[1])) << 8) |
                             (static_cast<uint32_t>(static_cast<uint8_t>(b[2])) << 16) |
                             (static_cast<uint32_t>(static_cast<uint8_t>(b[3])) << 24));
    if (length < 0) Fail(TKpReadErrorKind::BadCount, at, kReadError);
    if (!source.isSequential() && length > source.size() - source.pos())
        Fail(TKpReadErrorKind::Truncated, at, kReadError);
    Clear();
    origin_ = source.isSequential() ? -1 : source.pos();
    int64_t got = 0;
    while (got < length) {
        const int64_t step = length - got < kCopyStep ? length - got : kCopyStep;
        buffer_.resize(static_cast<size_t>(got + step));
        const int64_t n = source.read(buffer_.data() + got, step);
        if (n <= 0) {
            if (n == 0 && source.waitForReadyRead(-1)) continue;
            Fail(TKpReadErrorKind::Truncated, at, kReadError);
        }
        got += n;
    }
    buffer_.resize(static_cast<size_t>(got));
    pos_ = 0;
}

void TKpExtStream::SaveChunk(TKpExtStream& target) const {
    target.WriteInteger(static_cast<int32_t>(Size()));
    target.Write(Data(), Size());
}

void TKpExtStream::SaveChunk(QIODevice& target) const {
    const uint32_t n = static_cast<uint32_t>(Size());
    const char b[4] = {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 24)};
    if (target.write(b, 4) != 4 || target.write(Data(), Size()) != Size())
        throw EWriteError("Stream write error");
}

int64_t TKpExtStream::BeginChunk() {
    const int64_t mark = pos_;
    WriteInteger(0);
    return mark;
}

void TKpExtStream::EndChunk(int64_t mark) {
    const int64_t length = pos_ - mark - 4;
    const int64_t end = pos_;
    pos_ = mark;
    WriteInteger(static_cast<int32_t>(length));
    pos_ = end;
}

bool IsPlausibleDocumentVersion(const TKpExt80& version) {
    // A normal positive number (integer bit set) between 1 and 100.
    if (!(version.Mantissa() & 0x8000000000000000ull)) return false;
    const Extended v = Ext80ToExtended(version);
    return v >= 1 && v < 100;
}

TKpExt80 ReadDocumentVersion(QIODevice& source) {
    const int64_t at = source.isSequential() ? -1 : source.pos();
    TKpExt80 version;
    if (source.read(reinterpret_cast<char*>(version.Bytes.data()), 10) != 10)
        Fail(TKpReadErrorKind::NotADocument, at,
             "Not a document file: shorter than its 10-byte version number");
    if (!IsPlausibleDocumentVersion(version))
        Fail(TKpReadErrorKind::NotADocument, at,
             "Not a document file: the version number is not plausible");
    return version;
}

} // namespace kp
