// The older 16-bit form: an optional placeable header (the picture's box and units per inch),
// a header, then records of a size in 16-bit words and a function number, whose parameters
// mostly come in reverse order (y before x, bottom before top).
#include <QPainter>

#include "platform/KpMetafileDc.h"
#include "platform/KpMetafileDib.h"
#include "platform/KpMetafilePlayers.h"

namespace kp {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

struct WmfHeader {
    bool ok = false, placeable = false;
    QRect box;           // logical units
    int inch = 0;        // logical units per inch (placeable only)
    int64_t records = 0; // offset of the first record
};

WmfHeader readHeader(const TKpLeReader& f) {
    WmfHeader h;
    int64_t at = 0;
    if (f.U32(0) == kPlaceableKey) {
        if (!f.Fits(0, 22)) return h;
        h.placeable = true;
        const int l = f.I16(6), t = f.I16(8), r = f.I16(10), b = f.I16(12);
        h.box = QRect(l, t, r - l, b - t).normalized();
        h.inch = f.U16(14);
        at = 22;
    }
    const uint16_t type = f.U16(at), words = f.U16(at + 2);
    if (!f.Fits(at, 18) || (type != 1 && type != 2) || words < 9 || !f.Fits(at, words * 2))
        return h;
    h.records = at + words * 2;
    h.ok = true;
    return h;
}

// The window a file without the placeable header sets up first: its picture's box.
QRect scannedWindow(const TKpLeReader& f, int64_t offset) {
    QPoint org;
    QSize ext;
    bool hasExt = false;
    for (int records = 0; records < 64 && f.Fits(offset, 6); ++records) {
        const int64_t size = int64_t(f.U32(offset)) * 2;
        const uint16_t fn = f.U16(offset + 4);
        if (size < 6 || !f.Fits(offset, size) || fn == 0) break;
        if (fn == 0x020B) org = QPoint(f.I16(offset + 8), f.I16(offset + 6));
        if (fn == 0x020C && !hasExt) {
            ext = QSize(f.I16(offset + 8), f.I16(offset + 6));
            hasExt = true;
        }
        offset += size;
    }
    if (!hasExt || ext.width() == 0 || ext.height() == 0) return {};
    return QRect(org, ext);
}

// Code page 1252: its own letters in 0x80..0x9F; the rest of the 8-bit codes are Latin-1.
QString ansiText(const TKpLeReader& r, int64_t at, int64_t n) {
    static const char16_t high[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString s;
    s.reserve(n);
    for (int64_t i = 0; i < n; ++i) {
        const uint8_t c = r.U8(at + i);
        s += c >= 0x80 && c < 0xA0 ? QChar(high[c - 0x80]) : QChar(c);
    }
    return s;
}

class WmfPlayer {
public:
    WmfPlayer(TKpMetafileDc& dc, TKpMetafileResult& result) : dc_(dc), result_(result) {}
    bool Play(uint16_t fn, const TKpLeReader& r);

private:
    QPointF pt(const TKpLeReader& r, int64_t yAt) { return QPointF(r.I16(yAt + 2), r.I16(yAt)); }
    // A box stored bottom, right, top, left.
    QRectF box(const TKpLeReader& r, int64_t at) {
        return QRectF(QPointF(r.I16(at + 6), r.I16(at + 4)), QPointF(r.I16(at + 2), r.I16(at)));
    }
    bool polygon(const TKpLeReader& r, int64_t countAt, QPolygonF& out);
    bool region(const TKpLeReader& r);
    bool dib(const TKpLeReader& r, int64_t at, QImage& out);

    TKpMetafileDc& dc_;
    TKpMetafileResult& result_;
};

bool WmfPlayer::polygon(const TKpLeReader& r, int64_t countAt, QPolygonF& out) {
    const int64_t n = r.U16(countAt);
    if (!r.Fits(countAt + 2, n * 4)) return false;
    out.resize(n);
    for (int64_t i = 0; i < n; ++i)
        out[i] = QPointF(r.I16(countAt + 2 + 4 * i), r.I16(countAt + 4 + 4 * i));
    return true;
}

bool WmfPlayer::region(const TKpLeReader& r) {
    // Scans of rectangles, each scan a band from top to bottom with left/right pairs.
    TKpMfObject o;
    o.Type = TKpMfObject::Region;
    const int64_t scans = r.U16(16);
    int64_t at = 6 + 22;
    for (int64_t s = 0; s < scans; ++s) {
        if (!r.Fits(at, 6)) return false;
        const int64_t count = r.U16(at);
        const int top = r.I16(at + 2), bottom = r.I16(at + 4);
        if (!r.Fits(at + 6, count * 2 + 2)) return false;
        for (int64_t i = 0; i + 1 < count; i += 2) {
            const int left = r.I16(at + 6 + 2 * i), right = r.I16(at + 8 + 2 * i);
            if (right > left && bottom > top)
                o.RegionValue << QRect(left, top, right - left, bottom - top);
        }
        at += 6 + count * 2 + 2;
    }
    dc_.CreateInFreeSlot(std::move(o));
    return true;
}

bool WmfPlayer::dib(const TKpLeReader& r, int64_t at, QImage& out) {
    const TKpLeReader packed = r.Sub(at, r.Size() - at);
    const int64_t info = KpDibInfoSize(packed);
    if (info < 0) return false;
    out = KpDibImage(packed.Sub(0, info), packed.Sub(info, packed.Size() - info));
    return true;
}

bool WmfPlayer::Play(uint16_t fn, const TKpLeReader& r) {
    TKpMfState& st = dc_.State();
    const int64_t size = r.Size();
    const auto need = [&](int64_t params) { return size >= 6 + 2 * params; };
    QPolygonF poly;
    switch (fn) {
    case 0x0201:
    case 0x0209: // background, text colour
        if (!need(2)) return false;
        (fn == 0x0201 ? st.BkColor : st.TextColor) = KpMfColor(r.U32(6));
        return true;
    case 0x0102:
    case 0x0103:
    case 0x0104:
    case 0x0106:
    case 0x012E: { // modes, alignment
        if (!need(1)) return false;
        const uint16_t v = r.U16(6);
        if (fn == 0x0102)
            st.BkMode = v;
        else if (fn == 0x0103) {
            st.MapMode = v;
            dc_.MappingChanged();
        } else if (fn == 0x0104)
            st.Rop2 = v;
        else if (fn == 0x0106)
            st.PolyFill = v;
        else
            st.TextAlign = v;
        return true;
    }
    case 0x020B:
    case 0x020C:
    case 0x020D:
    case 0x020E:
    case 0x020F:
    case 0x0211: {
        if (!need(2)) return false;
        const QPointF v = pt(r, 6);
        switch (fn) {
        case 0x020B:
            st.WindowOrg = v;
            break;
        case 0x020C:
            if (v.x() && v.y()) st.WindowExt = QSizeF(v.x(), v.y());
            break;
        case 0x020D:
            st.ViewportOrg = v;
            break;
        case 0x020E:
            if (v.x() && v.y()) st.ViewportExt = QSizeF(v.x(), v.y());
            break;
        case 0x020F:
            st.WindowOrg += v;
            break;
        default:
            st.ViewportOrg += v;
            break;
        }
        dc_.MappingChanged();
        return true;
    }
    case 0x0410:
    case 0x0412: { // scale window/viewport extents: yDenom, yNum, xDenom, xNum
        if (!need(4)) return false;
        const double yd = r.I16(6), yn = r.I16(8), xd = r.I16(10), xn = r.I16(12);
        if (!xd || !yd || !xn || !yn) return true;
        QSizeF& ext = fn == 0x0412 ? st.ViewportExt : st.WindowExt;
        ext = QSizeF(ext.width() * xn / xd, ext.height() * yn / yd);
        dc_.MappingChanged();
        return true;
    }
    case 0x0220: // offset clip: y, x
        if (!need(2)) return false;
        dc_.OffsetClip(pt(r, 6));
        return true;
    case 0x0213:
    case 0x0214:
        if (!need(2)) return false;
        if (fn == 0x0213)
            dc_.LineTo(pt(r, 6));
        else
            dc_.MoveTo(pt(r, 6));
        return true;
    case 0x0415:
    case 0x0416:
        if (!need(4)) return false;
        dc_.ClipRect(box(r, 6), fn == 0x0415);
        return true;
    case 0x0418:
    case 0x041B:
        if (!need(4)) return false;
        if (fn == 0x0418)
            dc_.Ellipse(box(r, 6));
        else
            dc_.Rectangle(box(r, 6));
        return true;
    case 0x061C: // round rectangle: height, width, box
        if (!need(6)) return false;
        dc_.RoundRect(box(r, 10), QSizeF(r.I16(8), r.I16(6)));
        return true;
    case 0x0817:
    case 0x081A:
    case 0x0830: { // arc, pie, chord: end, start, box
        if (!need(8)) return false;
        using K = TKpMetafileDc::ArcKind;
        dc_.Arc(box(r, 14), pt(r, 10), pt(r, 6),
                fn == 0x0817   ? K::Arc
                : fn == 0x081A ? K::Pie
                               : K::Chord);
        return true;
    }
    case 0x041F: // set pixel: colour, y, x
        if (!need(4)) return false;
        dc_.SetPixel(pt(r, 10), KpMfColor(r.U32(6)));
        return true;
    case 0x0324:
    case 0x0325:
        if (!need(1) || !polygon(r, 6, poly)) return false;
        if (fn == 0x0324)
            dc_.Polygons({poly});
        else
            dc_.Polyline(poly, false);
        return true;
    case 0x0538: { // poly-polygon: count, counts, points
        if (!need(1)) return false;
        const int64_t n = r.U16(6);
        if (!r.Fits(8, n * 2)) return false;
        int64_t at = 8 + n * 2;
        std::vector<QPolygonF> polys;
        for (int64_t i = 0; i < n; ++i) {
            const int64_t count = r.U16(8 + 2 * i);
            if (!r.Fits(at, count * 4)) return false;
            QPolygonF p(count);
            for (int64_t k = 0; k < count; ++k)
                p[k] = QPointF(r.I16(at + 4 * k), r.I16(at + 4 * k + 2));
            polys.push_back(std::move(p));
            at += count * 4;
        }
        dc_.Polygons(polys);
        return true;
    }
    case 0x001E:
        if (!dc_.SaveDc()) {
            result_.Error = QStringLiteral("too many saved states");
            return false;
        }
        return true;
    case 0x0127:
        if (!need(1)) return false;
        dc_.RestoreDc(r.I16(6));
        return true;
    case 0x012D:
    case 0x01F0:
    case 0x012C: // select, delete object; select clip region
        if (!need(1)) return false;
        if (fn == 0x01F0)
            dc_.Delete(r.U16(6));
        else
            dc_.Select(r.U16(6));
        return true;
    case 0x02FA: { // pen: style, width (x, y), colour
        if (!need(5)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Pen;
        o.PenValue.Style = r.U16(6);
        o.PenValue.Width = r.I16(8);
        o.PenValue.Color = KpMfColor(r.U32(12));
        dc_.CreateInFreeSlot(std::move(o));
        return true;
    }
    case 0x02FC: { // brush: style, colour, hatch
        if (!need(4)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Brush;
        o.BrushValue.Style = r.U16(6);
        o.BrushValue.Color = KpMfColor(r.U32(8));
        o.BrushValue.Hatch = r.U16(12);
        dc_.CreateInFreeSlot(std::move(o));
        return true;
    }
    case 0x0142: { // pattern brush from a packed bitmap: style, usage, bitmap
        if (!need(2)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Brush;
        o.BrushValue.Style = 3;
        dib(r, 10, o.BrushValue.Pattern);
        dc_.CreateInFreeSlot(std::move(o));
        return true;
    }
    case 0x02FB: { // font
        if (!need(9)) return false;
        TKpMfObject o;
        o.Type = TKpMfObject::Font;
        TKpMfFont& f = o.FontValue;
        f.Height = r.I16(6);
        f.Width = r.I16(8);
        f.Escapement = r.I16(10);
        f.Weight = r.I16(14);
        f.Italic = r.U8(16);
        f.Underline = r.U8(17);
        f.StrikeOut = r.U8(18);
        f.CharSet = r.U8(19);
        for (int64_t i = 24; i < size && i < 24 + 32 && r.U8(i); ++i)
            f.Face += QChar(r.U8(i));
        dc_.CreateInFreeSlot(std::move(o));
        return true;
    }
    case 0x00F7:
    case 0x01F9: { // palette, old pattern brush: a slot all the same
        TKpMfObject o;
        o.Type = TKpMfObject::Other;
        dc_.CreateInFreeSlot(std::move(o));
        // Colours are drawn as RGB, so a palette changes nothing.
        if (fn == 0x01F9) ++result_.Skipped;
        return true;
    }
    case 0x0234:
    case 0x0035:
    case 0x0037:
    case 0x0139:
    case 0x0436: // select, realise, set entries, resize, animate palette
        return true;
    case 0x0228:
    case 0x0429:
    case 0x012A:
    case 0x012B: { // fill, frame, invert and paint a region: region, [brush, [height, width]]
        if (!need(fn == 0x0429 ? 4 : fn == 0x0228 ? 2 : 1)) return false;
        const QVector<QRect>* rects = dc_.RegionAt(r.U16(6));
        if (!rects) return true;
        if (fn == 0x0228)
            dc_.FillRegion(*rects, dc_.BrushOf(r.U16(8)));
        else if (fn == 0x0429)
            dc_.FrameRegion(*rects, dc_.BrushOf(r.U16(8)), QSize(r.I16(12), r.I16(10)));
        else if (fn == 0x012A)
            dc_.InvertRegion(*rects);
        else
            dc_.FillRegion(*rects, st.Brush);
        return true;
    }
    case 0x06FF:
        return need(11) && region(r);
    case 0x0521: { // text out: count, string, y, x
        if (!need(1)) return false;
        const int64_t n = r.U16(6), padded = (n + 1) & ~int64_t(1);
        if (!r.Fits(8, padded + 4)) return false;
        dc_.Text(pt(r, 8 + padded), ansiText(r, 8, n), {}, {}, 0, QRectF());
        return true;
    }
    case 0x0A32: { // extended text out: y, x, count, options, [box], string, [advances]
        if (!need(4)) return false;
        const QPointF ref = pt(r, 6);
        const int64_t n = r.U16(10);
        const uint16_t options = r.U16(12);
        int64_t at = 14;
        QRectF rect;
        if (options & 6) {
            if (!r.Fits(at, 8)) return false;
            rect = QRectF(QPointF(r.I16(at), r.I16(at + 2)), QPointF(r.I16(at + 4), r.I16(at + 6)));
            at += 8;
        }
        if (!r.Fits(at, n)) return false;
        const QString s = ansiText(r, at, n);
        at += (n + 1) & ~int64_t(1);
        std::vector<double> dx;
        if (r.Fits(at, n * 2))
            for (int64_t i = 0; i < n; ++i)
                dx.push_back(r.I16(at + 2 * i));
        dc_.Text(ref, s, dx, {}, options, rect);
        return true;
    }
    case 0x061D: { // pattern blit: rop, height, width, y, x
        if (!need(6)) return false;
        const QRectF dest(r.I16(16), r.I16(14), r.I16(12), r.I16(10));
        dc_.Blit(dest, QImage(), QRectF(), r.U32(6));
        return true;
    }
    case 0x0F43: { // stretch bits: rop, usage, src h, w, y, x, dest h, w, y, x, bitmap
        if (!need(11)) return false;
        QImage image;
        if (!dib(r, 28, image)) return false;
        if (image.isNull()) {
            ++result_.Skipped;
            return true;
        }
        const double srcH = r.I16(12), srcW = r.I16(14), ySrc = r.I16(16), xSrc = r.I16(18);
        const QRectF dest(r.I16(26), r.I16(24), r.I16(22), r.I16(20));
        dc_.Blit(dest, image, QRectF(xSrc, image.height() - ySrc - srcH, srcW, srcH), r.U32(6));
        return true;
    }
    case 0x0B41:
    case 0x0940: { // stretched and plain bit blits with a packed bitmap
        const bool stretch = fn == 0x0B41;
        const int64_t params = stretch ? 10 : 8; // rop (2 words) + coordinates
        if (!need(params)) return false;
        const int64_t at = 6;
        QRectF dest, source;
        if (stretch) {
            source = QRectF(r.I16(at + 10), r.I16(at + 8), r.I16(at + 6), r.I16(at + 4));
            dest = QRectF(r.I16(at + 18), r.I16(at + 16), r.I16(at + 14), r.I16(at + 12));
        } else {
            dest = QRectF(r.I16(at + 14), r.I16(at + 12), r.I16(at + 10), r.I16(at + 8));
            source = QRectF(r.I16(at + 6), r.I16(at + 4), dest.width(), dest.height());
        }
        const uint32_t rop = r.U32(at);
        QImage image;
        const int64_t bitmapAt = 6 + 2 * params;
        if (size > bitmapAt + 2) {
            if (!dib(r, bitmapAt, image)) return false;
            if (image.isNull()) {
                ++result_.Skipped;
                return true;
            }
            // Rows of a bottom-up source count from its bottom.
            source.moveTop(image.height() - source.top() - source.height());
        } else {
            // Without a bitmap a reserved word precedes the coordinates.
            const int64_t a = 8;
            dest = stretch ? QRectF(r.I16(a + 18), r.I16(a + 16), r.I16(a + 14), r.I16(a + 12))
                           : QRectF(r.I16(a + 14), r.I16(a + 12), r.I16(a + 10), r.I16(a + 8));
        }
        dc_.Blit(dest, image, source, rop);
        return true;
    }
    default:
        ++result_.Skipped;
        return true;
    }
}

} // namespace

TKpMetafileFrame KpWmfFrame(const TKpLeReader& file) {
    TKpMetafileFrame f;
    const WmfHeader h = readHeader(file);
    if (!h.ok) return f;
    f.Kind = TKpMetafileKind::Wmf;
    QRect box = h.box;
    double inch = h.inch;
    if (!h.placeable || inch <= 0 || box.isEmpty()) {
        box = scannedWindow(file, h.records).normalized();
        inch = 96;
    }
    if (box.isEmpty()) box = QRect(0, 0, 1000, 1000);
    f.Frame = QRect(qRound(box.left() * 2540 / inch), qRound(box.top() * 2540 / inch),
                    qRound(box.width() * 2540 / inch), qRound(box.height() * 2540 / inch));
    f.PixelSize = QSize(qRound(box.width() * 96 / inch), qRound(box.height() * 96 / inch));
    return f;
}

TKpMetafileResult KpPlayWmf(const TKpLeReader& file, QPainter& painter, const QRectF& target) {
    TKpMetafileResult result;
    const WmfHeader h = readHeader(file);
    if (!h.ok) {
        result.Ok = false;
        result.Error = QStringLiteral("the metafile header is damaged");
        result.Offset = 0;
        return result;
    }
    QRectF window = h.placeable ? QRectF(h.box) : QRectF();
    if (window.width() <= 0 || window.height() <= 0) window = scannedWindow(file, h.records);
    if (window.width() <= 0 || window.height() <= 0) window = QRectF(0, 0, 1000, 1000);
    // The picture's window maps onto the target: the device here is the painter's own.
    const double dpiX = painter.device() ? painter.device()->logicalDpiX() : 96;
    const double dpiY = painter.device() ? painter.device()->logicalDpiY() : 96;
    TKpMetafileDc dc(painter, QTransform(), target, dpiX / 25.4, dpiY / 25.4);
    TKpMfState& st = dc.State();
    st.MapMode = 8;
    st.WindowOrg = window.topLeft();
    st.WindowExt = window.size();
    st.ViewportOrg = target.topLeft();
    st.ViewportExt = target.size();
    dc.MappingChanged();
    WmfPlayer player(dc, result);
    int64_t offset = h.records;
    result.Records = 1;
    const auto fail = [&](const QString& what, int64_t at) {
        result.Ok = false;
        if (result.Error.isEmpty()) result.Error = what;
        result.Offset = at;
    };
    while (true) {
        if (!file.Fits(offset, 6)) {
            fail(QStringLiteral("the file ends before its end record"), offset);
            break;
        }
        const int64_t size = int64_t(file.U32(offset)) * 2;
        const uint16_t fn = file.U16(offset + 4);
        if (fn == 0 && size >= 6) {
            ++result.Records;
            break;
        }
        if (size < 6 || !file.Fits(offset, size)) {
            fail(QStringLiteral("record of function 0x%1 has a size of %2 bytes that does not fit")
                     .arg(fn, 4, 16, QLatin1Char('0'))
                     .arg(size),
                 offset);
            break;
        }
        ++result.Records;
        if (!player.Play(fn, file.Sub(offset, size))) {
            fail(QStringLiteral("record of function 0x%1 is damaged")
                     .arg(fn, 4, 16, QLatin1Char('0')),
                 offset);
            break;
        }
        offset += size;
    }
    return result;
}

} // namespace kp
