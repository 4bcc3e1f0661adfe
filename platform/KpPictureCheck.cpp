#include "platform/KpPictureCheck.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QDataStream>
#include <QImage>
#include <QPainter>

#include "platform/KpPixelBudget.h"

namespace kp {

namespace {

// The picture's own record codes, those our recordings make.
enum : uint8_t {
    DrawEllipse = 7,
    DrawPolyline = 12,
    DrawPolygon = 13,
    DrawPixmap = 17,
    DrawImage = 18,
    DrawTextItem = 21,
    DrawPath = 25,
    Begin = 30,
    End = 31,
    SetBkColor = 40,
    SetBkMode = 41,
    SetBrushOrigin = 43,
    SetFont = 45,
    SetPen = 46,
    SetBrush = 47,
    SetWMatrix = 55,
    SetClipRegion = 61,
    SetClipPath = 62,
    SetRenderHint = 63,
    SetCompositionMode = 64,
    SetClipEnabled = 65,
    SetOpacity = 66
};

// The picture layout this build writes: tag, checksum, format version, then the outer
// begin record with the bounding rectangle and the record count.
constexpr int kChecksumAt = 4;
constexpr int kDataStart = 6;
constexpr int kHeaderSize = 32;
const uint16_t kFormatMajor = QDataStream::Qt_DefaultCompiledVersion;

// Picture coordinates and sizes beyond these are no drawing we make.
constexpr double kMaxCoordinate = 1e6;
constexpr double kMaxPenWidth = 1e5;
constexpr double kMaxScale = 64;
// Glyphs may be rasterised into cached images of their full size.
constexpr double kMaxFontSize = 1024;
constexpr uint32_t kMaxDashes = 1024;
constexpr uint32_t kMaxGradientStops = 4096;
constexpr uint32_t kMaxFamilies = 64;

struct Refused {
    QString why;
};

[[noreturn]] void refuse(const QString& why) {
    throw Refused{why};
}

// Big-endian reads within one record's bytes.
class Reader {
public:
    Reader(const uint8_t* p, int64_t n) : p_(p), n_(n) {}
    int64_t Remaining() const { return n_ - pos_; }
    int64_t Position() const { return pos_; }

    const uint8_t* Take(int64_t n) {
        if (n < 0 || n > Remaining()) refuse(QStringLiteral("a record is cut short"));
        const uint8_t* at = p_ + pos_;
        pos_ += n;
        return at;
    }
    uint64_t Unsigned(int bytes) {
        const uint8_t* b = Take(bytes);
        uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | b[i];
        return v;
    }
    uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Unsigned(4)); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    double F64() {
        const uint64_t bits = Unsigned(8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d)) refuse(QStringLiteral("a value is not a finite number"));
        return d;
    }
    // A finite number within [lo, hi].
    double F64In(double lo, double hi, const char* what) {
        const double d = F64();
        if (d < lo || d > hi) refuse(QStringLiteral("%1 %2 is out of range").arg(what).arg(d));
        return d;
    }
    uint32_t U8In(uint32_t hi, const char* what) { return checked(U8(), hi, what); }
    uint32_t I32In(uint32_t hi, const char* what) {
        const int32_t v = I32();
        if (v < 0) refuse(QStringLiteral("%1 %2 is out of range").arg(what).arg(v));
        return checked(static_cast<uint32_t>(v), hi, what);
    }
    // A count of items of at least itemBytes each, which must fit in what remains.
    uint32_t Count(int64_t itemBytes, uint32_t most, const char* what) {
        const uint32_t n = U32();
        if (n > most || static_cast<int64_t>(n) * itemBytes > Remaining())
            refuse(QStringLiteral("%1 count %2 does not fit in the record").arg(what).arg(n));
        return n;
    }

private:
    static uint32_t checked(uint32_t v, uint32_t hi, const char* what) {
        if (v > hi) refuse(QStringLiteral("%1 %2 is out of range").arg(what).arg(v));
        return v;
    }
    const uint8_t* p_;
    int64_t n_;
    int64_t pos_ = 0;
};

double coordinate(Reader& r) {
    return r.F64In(-kMaxCoordinate, kMaxCoordinate, "a coordinate");
}

void point(Reader& r) {
    coordinate(r);
    coordinate(r);
}

void rect(Reader& r) {
    for (int i = 0; i < 4; ++i)
        coordinate(r);
}

void color(Reader& r) {
    r.U8In(5, "a colour model");
    r.Take(10); // alpha, three components, padding
}

// An affine transform whose linear part scales by at most kMaxScale along any axis: text
// drawn through a transform is rasterised into glyph images of that scale.
void transform(Reader& r) {
    double m[9];
    for (double& v : m)
        v = r.F64In(-kMaxCoordinate, kMaxCoordinate, "a transform entry");
    for (int i : {0, 1, 3, 4})
        if (std::fabs(m[i]) > kMaxScale)
            refuse(QStringLiteral("a transform scale %1 is out of range").arg(m[i]));
    if (m[2] != 0 || m[5] != 0 || m[8] != 1) refuse(QStringLiteral("a transform is not affine"));
}

void string(Reader& r) {
    const uint32_t bytes = r.U32();
    if (bytes == 0xFFFFFFFFu) return; // a null text
    if (bytes % 2 != 0 || bytes > r.Remaining())
        refuse(QStringLiteral("a text of %1 bytes does not fit in the record").arg(bytes));
    r.Take(bytes);
}

void brush(Reader& r) {
    const uint8_t style = r.U8();
    color(r);
    if (style >= Qt::LinearGradientPattern && style <= Qt::ConicalGradientPattern) {
        const uint32_t type = r.I32In(2, "a gradient type");
        if (type != static_cast<uint32_t>(style - Qt::LinearGradientPattern))
            refuse(QStringLiteral("a gradient type does not match its brush"));
        r.I32In(2, "a gradient spread");
        r.I32In(3, "a gradient coordinate mode");
        r.I32In(1, "a gradient interpolation mode");
        const uint32_t stops = r.Count(8 + 11, kMaxGradientStops, "a gradient stop");
        for (uint32_t i = 0; i < stops; ++i) {
            r.F64In(0, 1, "a gradient stop");
            color(r);
        }
        const int values = type == 0 ? 4 : type == 1 ? 6 : 3; // points and radii, or angle
        for (int i = 0; i < values; ++i)
            coordinate(r);
    } else if (style > Qt::DiagCrossPattern) {
        // Texture brushes carry whole images; our recordings have none.
        refuse(QStringLiteral("brush style %1 is not one we record").arg(style));
    }
    transform(r);
}

void pen(Reader& r) {
    const uint16_t flags = r.U16();
    const uint16_t style = flags & 0x0F, cap = flags & 0x30, join = flags & 0x1C0;
    if (style > Qt::CustomDashLine || cap == 0x30 ||
        (join != 0 && join != 0x40 && join != 0x80 && join != 0x100) || (flags & ~0x1FF) != 0)
        refuse(QStringLiteral("pen flags %1 are out of range").arg(flags));
    r.U8In(1, "a pen's cosmetic flag");
    r.F64In(0, kMaxPenWidth, "a pen width");
    brush(r);
    r.F64In(0, kMaxPenWidth, "a miter limit");
    const uint32_t dashes = r.Count(8, kMaxDashes, "a dash");
    if (dashes % 2 != 0) refuse(QStringLiteral("a dash pattern has an odd length"));
    double sum = 0;
    for (uint32_t i = 0; i < dashes; ++i)
        sum += r.F64In(0, kMaxPenWidth, "a dash length");
    if (dashes > 0 && sum < 1e-3) refuse(QStringLiteral("a dash pattern has no length"));
    r.F64In(-kMaxCoordinate, kMaxCoordinate, "a dash offset");
    r.U8In(1, "a pen's default-width flag");
}

void font(Reader& r) {
    string(r); // family
    string(r); // style name
    const double points = r.F64In(-1, kMaxFontSize, "a font point size");
    const int32_t pixels = r.I32();
    if (pixels < -1 || pixels > kMaxFontSize)
        refuse(QStringLiteral("a font pixel size %1 is out of range").arg(pixels));
    if (points <= 0 && pixels <= 0) refuse(QStringLiteral("a font has no size"));
    r.U8();  // style hint
    r.U16(); // style strategy
    const uint16_t weight = r.U16();
    if (weight < 1 || weight > 1000) refuse(QStringLiteral("a font weight %1").arg(weight));
    r.U8(); // style bits
    if (r.U16() > 4000) refuse(QStringLiteral("a font stretch is out of range"));
    r.U8();  // more style bits
    r.I32(); // letter spacing
    r.I32(); // word spacing
    r.U8In(3, "a hinting preference");
    r.U8In(4, "a capitalisation");
    const uint32_t families = r.Count(4, kMaxFamilies, "a font family");
    for (uint32_t i = 0; i < families; ++i)
        string(r);
}

void polygon(Reader& r) {
    const uint32_t n = r.Count(16, 0xFFFFFFFFu, "a polygon point");
    for (uint32_t i = 0; i < n; ++i)
        point(r);
}

// A path is a list of elements: move, line, curve (followed by its two control data
// elements); the player walks curves by that rule, so it is checked here.
void path(Reader& r) {
    const int32_t size = r.I32();
    if (size == 0) return;
    if (size < 0 || static_cast<int64_t>(size) * 20 + 8 > r.Remaining())
        refuse(QStringLiteral("a path count %1 does not fit in the record").arg(size));
    int pendingData = 0;
    for (int32_t i = 0; i < size; ++i) {
        const uint32_t type = r.I32In(3, "a path element");
        if (i == 0 && type != 0) refuse(QStringLiteral("a path does not start with a move"));
        if ((type == 3) != (pendingData > 0))
            refuse(QStringLiteral("a path curve has the wrong number of control points"));
        pendingData = type == 2 ? 2 : type == 3 ? pendingData - 1 : 0;
        point(r);
    }
    if (pendingData != 0) refuse(QStringLiteral("a path ends inside a curve"));
    const int32_t start = r.I32();
    if (start < 0 || start >= size)
        refuse(QStringLiteral("a path's subpath start is out of range"));
    r.I32In(1, "a fill rule");
}

void region(Reader& r) {
    const uint32_t bytes = r.U32();
    if (bytes == 0) return;
    if (bytes > r.Remaining() || bytes < 8)
        refuse(QStringLiteral("a region of %1 bytes does not fit in the record").arg(bytes));
    if (r.I32() != 10) refuse(QStringLiteral("a region is not a list of rectangles"));
    const uint32_t n = r.Count(16, 0xFFFFFFFFu, "a region rectangle");
    if (static_cast<int64_t>(n) * 16 + 8 != bytes)
        refuse(QStringLiteral("a region's size does not match its rectangles"));
    for (uint32_t i = 0; i < 4 * n; ++i) {
        const int32_t v = r.I32();
        if (v < -kMaxCoordinate || v > kMaxCoordinate)
            refuse(QStringLiteral("a region coordinate %1 is out of range").arg(v));
    }
}

// An embedded image: a null marker, or a complete PNG of at most the object pixel budget.
void image(Reader& r) {
    const int32_t marker = r.I32();
    if (marker == 0) return;
    if (marker != 1) refuse(QStringLiteral("an image marker %1").arg(marker));
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const int64_t start = r.Position();
    const uint8_t* png = r.Take(8);
    if (std::memcmp(png, signature, 8) != 0)
        refuse(QStringLiteral("an embedded image is not a PNG"));
    bool first = true;
    for (;;) {
        const uint32_t length = r.U32();
        const uint8_t* type = r.Take(4);
        if (length > r.Remaining()) refuse(QStringLiteral("an image chunk is cut short"));
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || length != 13)
                refuse(QStringLiteral("an embedded image has no header"));
            const int64_t w = r.U32(), h = r.U32();
            r.Take(length - 8);
            if (w == 0 || h == 0 || PixelCount(w, h) > MaxObjectBitmapPixels)
                refuse(QStringLiteral("an embedded %1 x %2 image is over the pixel budget")
                           .arg(w)
                           .arg(h));
            first = false;
        } else {
            r.Take(length);
        }
        r.Take(4); // the chunk's CRC
        if (std::memcmp(type, "IEND", 4) == 0) break;
    }
    // The player reads the image straight from the recording: one it cannot decode leaves
    // it in the middle of the image, reading what follows as records.
    const QByteArrayView bytes(reinterpret_cast<const char*>(png), r.Position() - start);
    if (QImage::fromData(bytes, "PNG").isNull())
        refuse(QStringLiteral("an embedded image cannot be decoded"));
}

void record(uint8_t code, Reader& r) {
    switch (code) {
    case DrawEllipse:
        rect(r);
        break;
    case DrawPolyline:
        polygon(r);
        break;
    case DrawPolygon:
        polygon(r);
        r.U8In(1, "a fill rule");
        break;
    case DrawPixmap:
        rect(r);
        image(r);
        rect(r);
        break;
    case DrawImage:
        rect(r);
        image(r);
        rect(r);
        r.U32();
        break;
    case DrawTextItem:
        point(r);
        string(r);
        font(r);
        r.U32();                                          // layout flags
        r.F64In(1.0 / 64, 64, "a text resolution ratio"); // rich text is laid out at 1440 dpi
        r.F64In(-kMaxCoordinate, kMaxCoordinate, "a justification width");
        break;
    case DrawPath:
        path(r);
        break;
    case SetBkColor:
        color(r);
        break;
    case SetBkMode:
        r.U8In(1, "a background mode");
        break;
    case SetBrushOrigin:
        point(r);
        break;
    case SetFont:
        font(r);
        break;
    case SetPen:
        pen(r);
        break;
    case SetBrush:
        brush(r);
        break;
    case SetWMatrix:
        transform(r);
        r.U8In(1, "a combine flag");
        break;
    case SetClipRegion:
        region(r);
        r.U8In(Qt::IntersectClip, "a clip operation");
        break;
    case SetClipPath:
        path(r);
        r.U8In(Qt::IntersectClip, "a clip operation");
        break;
    case SetRenderHint:
        r.U32();
        break;
    case SetCompositionMode:
        r.I32In(QPainter::RasterOp_NotDestination, "a composition mode");
        break;
    case SetClipEnabled:
        r.U8In(1, "a clip flag");
        break;
    case SetOpacity:
        r.F64In(0, 1, "an opacity");
        break;
    case Begin:
        refuse(QStringLiteral("a picture nests another begin record"));
    default:
        refuse(QStringLiteral("record code %1 is not one we record").arg(code));
    }
}

uint16_t readU16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint16_t checksumOf(QByteArrayView data) {
    return qChecksum(QByteArrayView(data.constData() + kDataStart, data.size() - kDataStart));
}

void check(QByteArrayView data) {
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
    const int64_t size = data.size();
    if (size < kHeaderSize || std::memcmp(p, "QPIC", 4) != 0)
        refuse(QStringLiteral("the bytes are not a recorded picture"));
    if (readU16(p + 6) != kFormatMajor || readU16(p + 8) != 0)
        refuse(QStringLiteral("picture format %1.%2 is not this build's")
                   .arg(readU16(p + 6))
                   .arg(readU16(p + 8)));
    if (readU16(p + kChecksumAt) != checksumOf(data))
        refuse(QStringLiteral("the picture's checksum does not match its data"));
    if (p[10] != Begin || p[11] != 4) refuse(QStringLiteral("the picture has no begin record"));
    Reader header(p + 28, 4);
    const uint32_t records = header.U32();

    Reader all(p + kHeaderSize, size - kHeaderSize);
    uint32_t seen = 0;
    bool ended = false;
    while (all.Remaining() > 0) {
        if (ended) refuse(QStringLiteral("the picture goes on after its end record"));
        const uint8_t code = all.U8();
        uint32_t length = all.U8();
        if (length == 255) length = all.U32();
        Reader one(all.Take(length), length);
        if (code == End) {
            if (length != 0) refuse(QStringLiteral("the end record has content"));
            ended = true;
        } else {
            record(code, one);
            if (one.Remaining() != 0)
                refuse(QStringLiteral("record code %1 is longer than its content").arg(code));
        }
        ++seen;
    }
    if (!ended) refuse(QStringLiteral("the picture has no end record"));
    if (seen != records)
        refuse(QStringLiteral("the picture says %1 records but holds %2").arg(records).arg(seen));
}

} // namespace

QString CheckPictureData(QByteArrayView data) {
    try {
        check(data);
    } catch (const Refused& r) {
        return r.why;
    }
    return QString();
}

void MendPictureChecksum(QByteArray& data) {
    if (data.size() < kHeaderSize) return;
    const uint16_t sum = checksumOf(data);
    data[kChecksumAt] = static_cast<char>(sum >> 8);
    data[kChecksumAt + 1] = static_cast<char>(sum & 0xFF);
}

} // namespace kp
