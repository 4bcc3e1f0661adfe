#include "drawing/KpObjects.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include "drawing/KpDrawContext.h"
#include "drawing/KpObjectKinds.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpPixelBudget.h"
#include "platform/KpStateGuard.h"
#include "platform/KpWinFlags.h"

namespace kp {

// ---- value records ----

TKpBrushData GetBrushData(const TKpBrush& brush) {
    return {brush.Color(), brush.Style()};
}

void SetBrushData(TKpBrush& brush, const TKpBrushData& data) {
    brush.SetColor(data.Color);
    brush.SetStyle(data.Style);
}

TKpPenData GetPenData(const TKpPen& pen) {
    return {pen.Color(), pen.Style(), pen.Width(), pen.Mode()};
}

void SetPenData(TKpPen& pen, const TKpPenData& data) {
    pen.SetColor(data.Color);
    pen.SetStyle(data.Style);
    pen.SetWidth(data.Width);
    pen.SetMode(data.Mode);
}

TKpFontData GetFontData(const TKpFont& font) {
    TKpFontData d;
    d.Angle = static_cast<Extended>(font.Escapement()) / 10;
    d.Color = font.Color();
    d.Name = font.Name();
    d.Size = font.Size();
    d.Style = font.Style();
    return d;
}

void SetFontData(TKpFont& font, const TKpFontData& data, Extended scale) {
    font.SetColor(data.Color);
    font.SetName(data.Name);
    font.SetSize(data.Size);
    font.SetStyle(data.Style);
    font.SetHeight(kp::RoundInt(scale * font.Height()));
    font.SetEscapement(kp::RoundInt(data.Angle * 10));
}

// ---- the common pixel mapping ----

namespace {

// Pixels per inch of the target at the drawing scale; both axes use the horizontal figure.
struct TPixelMap {
    int d;     // device dpi
    int64_t p; // rounded(scale x d)
    QPoint offset;

    TPixelMap(const TKpDeviceCanvas& target, Extended scale, QPoint off)
        : d(target.DpiX()), p(kp::Round(scale * target.DpiX())), offset(off) {}

    int X(int32_t v) const {
        return kp::RoundInt(static_cast<Extended>(v) / 100 / 25.4L * p) - offset.x();
    }
    int Y(int32_t v) const {
        return kp::RoundInt(static_cast<Extended>(v) / 100 / 25.4L * p) - offset.y();
    }
    // A length (no offset).
    int Length(int32_t v) const { return kp::RoundInt(static_cast<Extended>(v) / 2540 * p); }
};

// Printing greys the colours (monochrome jobs); the screen picture thins the pen so that
// its width, given in printer dots, keeps its size relative to the page.
void finishState(TKpDeviceCanvas& target, const TKpDrawContext& context, bool hasPen) {
    if (context.Printing) {
        TKpBaseObject::ApplyGrey(target, context);
    } else if (hasPen) {
        const Extended ratio = static_cast<Extended>(context.PrinterDpi) / target.DpiX();
        target.Pen().SetWidth(kp::RoundInt(target.Pen().Width() / ratio));
    }
}

void setShapeState(TKpDeviceCanvas& target, const TKpBrushData& brush, const TKpPenData& pen,
                   const TKpDrawContext& context) {
    SetBrushData(target.Brush(), brush);
    SetPenData(target.Pen(), pen);
    finishState(target, context, true);
}

QVector<QPoint> toPixels(const QVector<QPoint>& points, const TPixelMap& m) {
    QVector<QPoint> out;
    out.reserve(points.size());
    for (const QPoint& pt : points)
        out << QPoint(m.X(pt.x()), m.Y(pt.y()));
    return out;
}

} // namespace

void TKpBaseObject::ApplyGrey(TKpDeviceCanvas& target, const TKpDrawContext& context) {
    if (!context.Monochrome) return;
    target.Brush().SetColor(ToGrey(target.Brush().Color()));
    target.Font().SetColor(ToGrey(target.Font().Color()));
    target.Pen().SetColor(ToGrey(target.Pen().Color()));
}

// ---- text ----

void TKpTextObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                         Extended scale) {
    const TPixelMap m(target, scale, offset);
    // Only a text with a brace can hold a token.
    const QString text = context.Substitute(Text, PageNum);
    SetBrushData(target.Brush(), Brush);
    SetFontData(target.Font(), Font, scale);
    finishState(target, context, false);
    target.TextOut(m.X(X1), m.Y(Y1), text);
}

void TKpTextBoxObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                            Extended scale) {
    const TPixelMap m(target, scale, offset);
    unsigned horizontal = DT_LEFT;
    if (Alignment == taRightJustify) horizontal = DT_RIGHT;
    if (Alignment == taCenter) horizontal = DT_CENTER;
    unsigned vertical = 0;
    if (Layout == tlCenter) vertical = DT_VCENTER | DT_SINGLELINE;
    if (Layout == tlBottom) vertical = DT_BOTTOM | DT_SINGLELINE;

    SetBrushData(target.Brush(), Brush);
    SetFontData(target.Font(), Font, scale);
    SetPenData(target.Pen(), Pen);
    finishState(target, context, true);

    QRect r(QPoint(m.X(X1), m.Y(Y1)), QPoint(m.X(X2) - 1, m.Y(Y2) - 1));
    target.Rectangle(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    target.Brush().SetStyle(bsClear);
    target.DrawText(Text, r, horizontal | vertical | DT_WORDBREAK | DT_EXPANDTABS);
}

// ---- line ----

void TKpLineObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                         Extended scale) {
    const TPixelMap m(target, scale, offset);
    SetPenData(target.Pen(), Pen);
    finishState(target, context, true);
    target.MoveTo(m.X(X1), m.Y(Y1));
    target.LineTo(m.X(X2), m.Y(Y2));
}

// ---- graphic ----

TKpGraphicObject::TKpGraphicObject() : TKpBaseObject(kpGraphicObject), CopyMode(SRCCOPY) {}
TKpGraphicObject::~TKpGraphicObject() = default;

namespace {

void putLE(QByteArray& b, int at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bitmap file with 32 bits per pixel and an alpha mask (a version 5 information header
// with bit-field masks), bottom-up rows of blue, green, red, alpha.
QByteArray bitmapFileWithAlpha(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    constexpr int kFileHeader = 14, kInfoHeader = 124;
    const int w = image.width(), h = image.height();
    const int offset = kFileHeader + kInfoHeader;
    QByteArray b(offset + 4 * w * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    putLE(b, 2, static_cast<uint32_t>(b.size()), 4);
    putLE(b, 10, offset, 4);
    putLE(b, 14, kInfoHeader, 4);
    putLE(b, 18, static_cast<uint32_t>(w), 4);
    putLE(b, 22, static_cast<uint32_t>(h), 4);
    putLE(b, 26, 1, 2);  // planes
    putLE(b, 28, 32, 2); // bits per pixel
    putLE(b, 30, 3, 4);  // bit-field masks
    putLE(b, 34, static_cast<uint32_t>(4 * w * h), 4);
    putLE(b, 38, 3780, 4); // 96 pixels per inch
    putLE(b, 42, 3780, 4);
    putLE(b, 54, 0x00FF0000, 4); // red, green, blue, alpha masks
    putLE(b, 58, 0x0000FF00, 4);
    putLE(b, 62, 0x000000FF, 4);
    putLE(b, 66, 0xFF000000, 4);
    putLE(b, 70, 0x73524742, 4); // sRGB
    putLE(b, 122, 4, 4);         // rendering intent: images
    char* out = b.data() + offset;
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x];
            *out++ = static_cast<char>(qBlue(c));
            *out++ = static_cast<char>(qGreen(c));
            *out++ = static_cast<char>(qRed(c));
            *out++ = static_cast<char>(qAlpha(c));
        }
    }
    return b;
}

} // namespace

void TKpGraphicObject::SetBitmap(const QImage& image) {
    BitmapData.clear();
    if (!image.isNull()) {
        // The platform's bitmap writer drops the alpha channel; such images are stored
        // with 32 bits and an alpha mask.
        if (image.hasAlphaChannel()) {
            BitmapData = bitmapFileWithAlpha(image);
        } else {
            QBuffer buffer(&BitmapData);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "BMP");
        }
    }
    ImageKind = kpImageBitmap;
}

QImage TKpGraphicObject::Bitmap() const {
    if (BitmapData.isEmpty()) return QImage();
    QByteArray bytes = BitmapData; // shared, not copied
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    const QSize size = reader.size();
    // Stored sizes come from files: a bitmap over the budget is not decoded.
    if (kp::PixelCount(size.width(), size.height()) > kp::MaxObjectBitmapPixels) {
        kp::NoteOverPixelBudget(size.width(), size.height(), "not drawn");
        return QImage();
    }
    return reader.read();
}

void TKpGraphicObject::SetPicture(const TKpMetafile& picture) {
    Picture = std::make_unique<TKpMetafile>();
    Picture->Assign(picture);
    ImageKind = kpImageMetafile;
}

void TKpGraphicObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                            Extended scale) {
    const TPixelMap m(target, scale, offset);
    const QRect r(QPoint(m.X(X1), m.Y(Y1)), QPoint(m.X(X2) - 1, m.Y(Y2) - 1));

    // The target's copy mode comes back also when drawing fails.
    const TKpScopeExit restoreCopyMode(
        [&target, saved = target.CopyMode()] { target.SetCopyMode(saved); });
    target.SetCopyMode(CopyMode);

    const bool printerPrinting = context.PrinterPrinting;
    if (ImageKind == kpImageMetafile) {
        // A graphic of another kind carries no image and draws nothing.
        if (!Picture || Picture->Empty()) return;
        bool asBitmap = MetafileAsBitmap || (PrintMetafileAsBitmap && printerPrinting);
        // The box comes from a file: a bitmap over the budget gives way to the vectors.
        if (asBitmap && kp::PixelCount(r.width(), r.height()) > kp::MaxObjectBitmapPixels) {
            kp::NoteOverPixelBudget(r.width(), r.height(), "the picture is drawn as vectors");
            asBitmap = false;
        }
        if (asBitmap) {
            if (r.width() <= 0 || r.height() <= 0) return;
            QImage bitmap(r.width(), r.height(), QImage::Format_RGB32);
            bitmap.fill(Qt::white);
            {
                QPainter painter(&bitmap);
                TKpDeviceCanvas canvas(&painter, target.DpiX(), target.DpiY());
                canvas.PlayMetafile(*Picture, QRect(0, 0, r.width(), r.height()));
            }
            target.StretchBitmapBits(r, bitmap, CopyMode);
        } else {
            target.PlayMetafile(*Picture, r);
        }
        return;
    }
    const QImage bitmap = Bitmap();
    if (bitmap.isNull()) return;
    if (printerPrinting)
        target.StretchBitmapBits(r, bitmap, CopyMode);
    else
        target.StretchDraw(r, bitmap);
}

// ---- shapes ----

void TKpRectangleShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                             Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    if (FillOnly)
        target.FillRect(QRect(QPoint(m.X(X1), m.Y(Y1)), QPoint(m.X(X2) - 1, m.Y(Y2) - 1)));
    else
        target.Rectangle(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2));
}

void TKpEllipseShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                           Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Ellipse(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2));
}

void TKpRoundRectShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                             Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.RoundRect(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2), m.Length(X3), m.Length(Y3));
}

void TKpArcShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                       Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Arc(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2), m.X(X3), m.Y(Y3), m.X(X4), m.Y(Y4));
}

void TKpChordShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                         Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Chord(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2), m.X(X3), m.Y(Y3), m.X(X4), m.Y(Y4));
}

void TKpPieShape::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                       Extended scale) {
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Pie(m.X(X1), m.Y(Y1), m.X(X2), m.Y(Y2), m.X(X3), m.Y(Y3), m.X(X4), m.Y(Y4));
}

void TKpPolygonObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                            Extended scale) {
    if (Points.isEmpty()) return;
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Polygon(toPixels(Points, m));
}

void TKpPolyLineObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context, QPoint offset,
                             Extended scale) {
    if (Points.isEmpty()) return;
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.Polyline(toPixels(Points, m));
}

void TKpPolyBezierObject::Draw(TKpDeviceCanvas& target, const TKpDrawContext& context,
                               QPoint offset, Extended scale) {
    if (Points.isEmpty()) return;
    const TPixelMap m(target, scale, offset);
    setShapeState(target, Brush, Pen, context);
    target.PolyBezier(toPixels(Points, m));
}

// ---- factory ----

TKpObjectPtr<TKpBaseObject> CreateObjectOfType(int32_t type, TKpObjectPool* pool) {
    TKpObjectPtr<TKpBaseObject> object;
    WithObjectKind(type, [&]<class T>(std::type_identity<T>) { object = MakeObject<T>(pool); });
    return object;
}

std::unique_ptr<TKpBaseObject> CreateObjectOfType(int32_t type) {
    return std::unique_ptr<TKpBaseObject>(CreateObjectOfType(type, nullptr).release());
}

void TKpObjectDeleter::operator()(TKpBaseObject* object) const noexcept {
    if (!object) return;
    const size_t bytes = size_t{object->poolGranules_} * TKpObjectPool::Granule;
    if (bytes == 0) {
        delete object; // made on the heap
        return;
    }
    object->~TKpBaseObject();
    Pool->Free(object, bytes);
}

} // namespace kp
