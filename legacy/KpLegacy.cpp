#include "legacy/KpLegacy.h"

#include <QImage>
#include <QIODevice>

#include "drawing/KpCanvas.h"
#include "drawing/KpCodePage.h"
#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpObjectKinds.h"
#include "drawing/KpPictureStore.h"
#include "platform/KpPicture.h"
#include "platform/KpRunThen.h"

namespace kp {

namespace {

const char* const kReadError = "Stream read error";

bool LowByte(int32_t v) {
    return (v & 0xFF) != 0;
}

// Keys are looked up often; each decimal is turned into its 80-bit value once.
struct TKeys {
    TKpExt80 BlockKind = KpKey("10");
    TKpExt80 PaperWidth = KpKey("2.01"), PaperHeight = KpKey("2.02"), PaperSize = KpKey("2.03"),
             Orientation = KpKey("2.04");
    TKpExt80 MarginLeft = KpKey("3.01"), MarginTop = KpKey("3.02"), MarginRight = KpKey("3.03"),
             MarginBottom = KpKey("3.04"), MarginVisible = KpKey("3.05"),
             MarginPrinter = KpKey("3.06"), MarginPen = KpKey("3.07"),
             PrinterMarginPen = KpKey("3.08");
    TKpExt80 ShadowColor = KpKey("4.01"), ShadowWidth = KpKey("4.02"),
             ShadowVisible = KpKey("4.03");
    TKpExt80 Block5 = KpKey("5.01");
    TKpExt80 HeaderShowLine = KpKey("6.03"), HeaderVisible = KpKey("6.04");
    TKpExt80 FooterShowLine = KpKey("7.03"), FooterVisible = KpKey("7.04");
    TKpExt80 ObjectKind = KpKey("10.01"), PageNum = KpKey("10.02"), X1 = KpKey("10.03"),
             Y1 = KpKey("10.04"), X2 = KpKey("10.05"), Y2 = KpKey("10.06"), X3 = KpKey("10.07"),
             Y3 = KpKey("10.08"), X4 = KpKey("10.09"), Y4 = KpKey("10.1"),
             ImageKind = KpKey("10.5");
    TKpExt80 Reserved = KpKey("11");
    TKpExt80 Text = KpKey("50"), Alignment = KpKey("51"), Layout = KpKey("51.01");
    TKpExt80 Bitmap = KpKey("70"), Metafile = KpKey("71"), MetafileAsBitmap = KpKey("72");
    TKpExt80 Brush = KpKey("1003"), Font = KpKey("1004"), Pen = KpKey("1005");
    TKpExt80 BrushColor = KpKey("20"), BrushStyle = KpKey("20.01");
    TKpExt80 FontName = KpKey("30"), FontSize = KpKey("30.01"), FontStyle = KpKey("30.02"),
             FontColor = KpKey("30.03"), FontAngle = KpKey("30.05");
    TKpExt80 PenColor = KpKey("40"), PenStyle = KpKey("40.01"), PenWidth = KpKey("40.02"),
             PenMode = KpKey("40.03");
};

const TKeys& Keys() {
    static const TKeys keys;
    return keys;
}

template <typename Rec>
const Rec* Find(const std::vector<std::unique_ptr<Rec>>& list, const TKpExt80& key) {
    for (const auto& r : list)
        if (r->Key == key) return r.get();
    return nullptr;
}

int32_t ReadInt32(TKpExtStream& s) {
    uint8_t b[4];
    s.ReadExact(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
}

TKpExt80 ReadKey(TKpExtStream& s) {
    TKpExt80 e;
    s.ReadExact(e.Bytes.data(), 10);
    return e;
}

} // namespace

TKpExt80 KpKey(const char* decimal) {
    return Ext80FromDecimal(decimal);
}

void TKpExtValueList::Clear() {
    ext_.clear();
    int_.clear();
    str_.clear();
    brush_.clear();
    font_.clear();
    pen_.clear();
}

void TKpExtValueList::LoadFromStream(TKpExtStream& stream) {
    Clear();
    buffer_.LoadChunk(stream);
    buffer_.Detach(); // a private copy: the list outlives the source
    parse(0);
}

void TKpExtValueList::LoadFromStream(QIODevice& stream) {
    Clear();
    buffer_.LoadChunk(stream);
    parse(0);
}

void TKpExtValueList::loadNested(TKpExtStream& stream, int depth) {
    Clear();
    if (depth > MaxDepth)
        throw EStreamReadError(TKpReadErrorKind::TooDeep, stream.Offset(),
                               "Stream read error: value lists nested too deeply");
    buffer_.LoadChunk(stream); // a view into the parent's bytes, read at once
    parse(depth);
}

void TKpExtValueList::parse(int depth) {
    TKpExtStream& s = buffer_;
    s.SetPosition(0);
    while (s.Position() < s.Size()) {
        const int64_t recordAt = s.Offset();
        const int32_t kind = s.ReadInteger();
        switch (kind) {
        case kpExtRecord: {
            auto r = std::make_unique<TKpExtFileRec>(ReadKey(s));
            r->Value = ReadKey(s);
            ext_.push_back(std::move(r));
            break;
        }
        case kpIntRecord: {
            auto r = std::make_unique<TKpIntFileRec>(ReadKey(s));
            r->Value = ReadInt32(s);
            int_.push_back(std::move(r));
            break;
        }
        case kpStrRecord: {
            auto r = std::make_unique<TKpStrFileRec>(ReadKey(s));
            const int64_t lengthAt = s.Offset();
            const int32_t n = ReadInt32(s);
            if (n > 0) {
                if (n > s.Remaining())
                    throw EStreamReadError(TKpReadErrorKind::Truncated, lengthAt, kReadError);
                r->Value = QByteArray(s.Data() + s.Position(), n);
                s.SetPosition(s.Position() + n);
            }
            str_.push_back(std::move(r));
            break;
        }
        case kpBrushRecord: {
            auto r = std::make_unique<TKpBrushFileRec>(ReadKey(s));
            TKpExtValueList nested;
            nested.loadNested(s, depth + 1);
            const TKeys& k = Keys();
            r->Value.Color = static_cast<TColor>(nested.GetInteger(0, k.BrushColor));
            r->Value.Style = static_cast<TBrushStyle>(CheckedEnum(
                nested.GetInteger(bsSolid, k.BrushStyle), bsDiagCross, "brush style", recordAt));
            brush_.push_back(std::move(r));
            break;
        }
        case kpFontRecord: {
            auto r = std::make_unique<TKpFontFileRec>(ReadKey(s));
            TKpExtValueList nested;
            nested.loadNested(s, depth + 1);
            const TKeys& k = Keys();
            r->Value.Name = nested.GetString(k.FontName);
            r->Value.Size = SanitizeFontSize(nested.GetInteger(12, k.FontSize));
            r->Value.Style = TextToFontStyle(nested.GetString(k.FontStyle));
            r->Value.Color = static_cast<TColor>(nested.GetInteger(0, k.FontColor));
            r->Value.Angle = SanitizeFontAngle(nested.GetExtended(k.FontAngle));
            font_.push_back(std::move(r));
            break;
        }
        case kpPenRecord: {
            auto r = std::make_unique<TKpPenFileRec>(ReadKey(s));
            TKpExtValueList nested;
            nested.loadNested(s, depth + 1);
            const TKeys& k = Keys();
            r->Value.Color = static_cast<TColor>(nested.GetInteger(0, k.PenColor));
            r->Value.Style = static_cast<TPenStyle>(CheckedEnum(
                nested.GetInteger(psSolid, k.PenStyle), psInsideFrame, "pen style", recordAt));
            r->Value.Width = nested.GetInteger(1, k.PenWidth);
            r->Value.Mode = static_cast<TPenMode>(
                CheckedEnum(nested.GetInteger(pmCopy, k.PenMode), pmNotXor, "pen mode", recordAt));
            pen_.push_back(std::move(r));
            break;
        }
        default:
            break; // another kind: the next 4 bytes are the next record kind
        }
    }
}

Extended TKpExtValueList::GetExtended(const TKpExt80& key) const {
    const auto* r = Find(ext_, key);
    return r ? Ext80ToExtended(r->Value) : 0;
}

int32_t TKpExtValueList::GetInteger(int32_t defaultValue, const TKpExt80& key) const {
    const auto* r = Find(int_, key);
    return r ? r->Value : defaultValue;
}

QString TKpExtValueList::GetString(const TKpExt80& key) const {
    const auto* r = Find(str_, key);
    return r ? FromWindows1252(r->Value) : QString();
}

QByteArray TKpExtValueList::GetBytes(const TKpExt80& key) const {
    const auto* r = Find(str_, key);
    return r ? r->Value : QByteArray();
}

void TKpExtValueList::GetBrush(TKpBrushData& target, const TKpExt80& key) const {
    if (const auto* r = Find(brush_, key)) target = r->Value;
}

void TKpExtValueList::GetFont(TKpFontData& target, const TKpExt80& key) const {
    if (const auto* r = Find(font_, key)) target = r->Value;
}

void TKpExtValueList::GetPen(TKpPenData& target, const TKpExt80& key) const {
    if (const auto* r = Find(pen_, key)) target = r->Value;
}

namespace {

// Object records start from zeroed values, not the records' own defaults.
TKpBrushData ZeroBrush() {
    TKpBrushData b;
    b.Color = 0;
    b.Style = bsSolid;
    return b;
}

TKpPenData ZeroPen() {
    TKpPenData p;
    p.Color = 0;
    p.Style = psSolid;
    p.Width = 0;
    p.Mode = pmBlack;
    return p;
}

TKpFontData ZeroFont() {
    TKpFontData f;
    f.Angle = 0;
    f.Color = 0;
    f.Name.clear();
    f.Size = 0;
    f.Style = 0;
    return f;
}

// The pen under a key, from zero where the record has none.
TKpPenData PenFrom(const TKpExtValueList& list, const TKpExt80& key) {
    TKpPenData pen = ZeroPen();
    list.GetPen(pen, key);
    return pen;
}

void LoadGraphic(TKpGraphicObject& g, const TKpExtValueList& list) {
    const TKeys& k = Keys();
    g.X2 = list.GetInteger(0, k.X2);
    g.Y2 = list.GetInteger(0, k.Y2);
    g.ImageKind = static_cast<TKpImageKind>(list.GetInteger(0, k.ImageKind) & 0xFF);
    g.MetafileAsBitmap = LowByte(list.GetInteger(0, k.MetafileAsBitmap));
    if (g.ImageKind == kpImageBitmap) {
        const QByteArray bytes = list.GetBytes(k.Bitmap);
        if (!bytes.isEmpty()) {
            QImage image;
            image.loadFromData(bytes, "BMP");
            g.SetBitmap(image);
        }
    } else if (g.ImageKind == kpImageMetafile) {
        const QByteArray bytes = list.GetBytes(k.Metafile);
        if (bytes.isEmpty()) return;
        TKpExtStream s{QByteArray(bytes)};
        const int32_t n = s.ReadInteger();
        // The bytes are a copy taken from their record: no offset in the file to give.
        if (n < 0) throw EStreamReadError(TKpReadErrorKind::BadCount, -1, kReadError);
        if (n > s.Remaining()) throw EStreamReadError(TKpReadErrorKind::Truncated, -1, kReadError);
        // Platform metafiles (enhanced or 16-bit) and pictures in the suite's own stored form
        // are kept; another form leaves the graphic without a picture.
        const QByteArray image(s.Data() + s.Position(), n);
        auto metafile = std::make_unique<TKpMetafile>();
        if (metafile->LoadFromBytes(image)) {
            g.SetPicture(*metafile);
            return;
        }
        TKpExtStream picture{image};
        try {
            KpPictureStore::ReadPicture(picture, *metafile);
        } catch (const EReadError&) {
            return;
        }
        g.SetPicture(*metafile);
    }
}

// The fields each kind reads from its list; every kind needs its overload (or its base's).
struct TKindFields {
    const TKpExtValueList& list;
    const TKeys& k;

    void operator()(TKpSimpleShape& shape) const {
        shape.X2 = list.GetInteger(0, k.X2);
        shape.Y2 = list.GetInteger(0, k.Y2);
        shape.Brush = ZeroBrush();
        list.GetBrush(shape.Brush, k.Brush);
        shape.Pen = PenFrom(list, k.Pen);
    }
    void operator()(TKpRoundRectShape& round) const {
        (*this)(static_cast<TKpSimpleShape&>(round));
        round.X3 = list.GetInteger(0, k.X3);
        round.Y3 = list.GetInteger(0, k.Y3);
    }
    void operator()(TKpComplexShape& complex) const {
        (*this)(static_cast<TKpSimpleShape&>(complex));
        complex.X3 = list.GetInteger(0, k.X3);
        complex.Y3 = list.GetInteger(0, k.Y3);
        complex.X4 = list.GetInteger(0, k.X4);
        complex.Y4 = list.GetInteger(0, k.Y4);
    }
    void operator()(TKpLineObject& line) const {
        line.X2 = list.GetInteger(0, k.X2);
        line.Y2 = list.GetInteger(0, k.Y2);
        line.Reserved = list.GetInteger(0, k.Reserved) & 0xFF;
        line.Pen = PenFrom(list, k.Pen);
    }
    void operator()(TKpTextObject& text) const {
        text.Brush = ZeroBrush();
        list.GetBrush(text.Brush, k.Brush);
        TKpFontData font = ZeroFont();
        list.GetFont(font, k.Font);
        text.Font = font;
        text.Text = list.GetString(k.Text);
    }
    void operator()(TKpTextBoxObject& box) const {
        (*this)(static_cast<TKpTextObject&>(box));
        box.X2 = list.GetInteger(0, k.X2);
        box.Y2 = list.GetInteger(0, k.Y2);
        box.Alignment = static_cast<TAlignment>(
            CheckedEnum(list.GetInteger(0, k.Alignment) & 0xFF, taCenter, "alignment"));
        box.Layout = static_cast<TTextLayout>(
            CheckedEnum(list.GetInteger(0, k.Layout) & 0xFF, tlBottom, "layout"));
        box.Pen = PenFrom(list, k.Pen);
    }
    void operator()(TKpGraphicObject& graphic) const { LoadGraphic(graphic, list); }
    // Point lists: added with their constructor's values and no points.
    void operator()(TKpPolyBaseObject&) const {}
};

} // namespace

void LoadObjectFromValueList(TKpBaseObject& object, const TKpExtValueList& list) {
    const TKeys& k = Keys();
    object.PageNum = list.GetInteger(1, k.PageNum);
    object.X1 = list.GetInteger(0, k.X1);
    object.Y1 = list.GetInteger(0, k.Y1);
    VisitObject(object, TKindFields{list, k});
}

void LoadLegacyDocument(TKpDocument& preview, QIODevice& file) {
    const TKeys& k = Keys();
    preview.AutoRefresh = false;
    auto finish = [&] {
        preview.ApplyPaperToPages();
        preview.AutoRefresh = true;
        preview.RefreshPage();
    };
    kp::RunThen(
        [&] {
            preview.Clear();
            TKpExtValueList list;
            bool pageSeen = false;
            int block = 0;
            while (!file.atEnd()) {
                ++block;
                // Values out of range are refused naming the page and the block they are in.
                try {
                    list.LoadFromStream(file);
                } catch (const EStreamReadError& e) {
                    if (e.Kind != TKpReadErrorKind::OutOfRange) throw;
                    ThrowReadErrorIn(
                        QStringLiteral("Page %1, block %2: ").arg(preview.NumPages()).arg(block),
                        e);
                }
                switch (list.GetInteger(-1, k.BlockKind)) {
                case 1:
                    if (pageSeen) preview.NewPage();
                    pageSeen = true;
                    break;
                case 2: {
                    preview.PaperWidth().value = list.GetInteger(0, k.PaperWidth);
                    preview.PaperHeight().value = list.GetInteger(0, k.PaperHeight);
                    const int32_t size = list.GetInteger(0, k.PaperSize);
                    if (size >= A3 && size <= Custom)
                        preview.SetPaperSize(static_cast<TKpPaperSize>(size));
                    const int32_t orientation = list.GetInteger(0, k.Orientation);
                    if (orientation == kpPortrait || orientation == kpLandscape)
                        preview.SetOrientation(static_cast<TKpOrientation>(orientation));
                    break;
                }
                case 3: {
                    TKpMargins& m = preview.Margins();
                    m.Left().value = list.GetInteger(0, k.MarginLeft);
                    m.Top().value = list.GetInteger(0, k.MarginTop);
                    m.Right().value = list.GetInteger(0, k.MarginRight);
                    m.Bottom().value = list.GetInteger(0, k.MarginBottom);
                    m.SetVisible(LowByte(list.GetInteger(0, k.MarginVisible)));
                    m.SetShowPrinterMargins(LowByte(list.GetInteger(0, k.MarginPrinter)));
                    // A pen key that is missing leaves that pen as it is.
                    TKpPenData pen = GetPenData(m.Pen());
                    list.GetPen(pen, k.MarginPen);
                    SetPenData(m.Pen(), pen);
                    pen = GetPenData(m.PrinterMarginPen());
                    list.GetPen(pen, k.PrinterMarginPen);
                    SetPenData(m.PrinterMarginPen(), pen);
                    break;
                }
                case 4:
                    preview.SetShadow(static_cast<TColor>(list.GetInteger(0, k.ShadowColor)),
                                      list.GetInteger(0, k.ShadowWidth));
                    preview.SetShadowVisible(LowByte(list.GetInteger(0, k.ShadowVisible)));
                    break;
                case 5:
                    list.GetExtended(k.Block5);
                    break;
                case 6:
                case 7: {
                    const bool header = list.GetInteger(-1, k.BlockKind) == 6;
                    TKpHeaderFooter& band = header
                                                ? static_cast<TKpHeaderFooter&>(preview.Header())
                                                : static_cast<TKpHeaderFooter&>(preview.Footer());
                    band.SetShowLine(
                        LowByte(list.GetInteger(0, header ? k.HeaderShowLine : k.FooterShowLine)));
                    band.SetVisible(
                        LowByte(list.GetInteger(0, header ? k.HeaderVisible : k.FooterVisible)));
                    TKpPenData pen = GetPenData(band.Pen());
                    list.GetPen(pen, k.Pen);
                    SetPenData(band.Pen(), pen);
                    break;
                }
                case 10: {
                    TKpPage* page = preview.Canvas().Page();
                    TKpObjectPtr<TKpBaseObject> object = CreateObjectOfType(
                        list.GetInteger(-1, k.ObjectKind), page ? page->ObjectPool() : nullptr);
                    if (!object || !page) break;
                    try {
                        LoadObjectFromValueList(*object, list);
                    } catch (const EReadError& e) {
                        ThrowReadErrorIn(QStringLiteral("Page %1, object block %2: ")
                                             .arg(preview.NumPages())
                                             .arg(block),
                                         e);
                    }
                    page->AddObject(std::move(object));
                    break;
                }
                default:
                    break;
                }
            }
        },
        finish);
}

namespace {
// The document reads files of the older format through this loader.
const bool olderFormatRegistered = (TKpDocument::SetOlderFormatLoader(&LoadLegacyDocument), true);
} // namespace

} // namespace kp
