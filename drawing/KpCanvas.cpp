#include "drawing/KpCanvas.h"

#include <stdexcept>

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "drawing/KpDocument.h"
#include "drawing/KpHeaderFooter.h"
#include "drawing/KpMargins.h"
#include "drawing/KpMessages.h"
#include "platform/KpDeviceCanvas.h"
#include "platform/KpPicture.h"
#include "platform/KpScreen.h"
#include "platform/KpWinFlags.h"

namespace kp {

namespace {

QSize iconSize(const QIcon& icon) {
    const QList<QSize> sizes = icon.availableSizes();
    if (!sizes.isEmpty()) return sizes.first();
    return QSize(TKpCanvas::DefaultIconSize, TKpCanvas::DefaultIconSize);
}

// The icon drawn at (0, 0) on a white bitmap of its own size.
QImage iconBitmap(const QIcon& icon) {
    const QSize size = iconSize(icon);
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    icon.paint(&painter, QRect(QPoint(0, 0), size));
    return bitmap;
}

} // namespace

TKpCanvas::TKpCanvas(TKpDocument* owner)
    : owner_(owner), copyMode_(SRCCOPY), measureMetafile_(std::make_unique<TKpMetafile>()),
      result_(std::make_unique<TKpValue>()) {
    font_.SetName(QStringLiteral("Arial"));
    measureRecorder_ = std::make_unique<TKpMetafileCanvas>(*measureMetafile_);
}

TKpCanvas::~TKpCanvas() {
    measureRecorder_.reset();
    measureMetafile_.reset();
}

// ---- origin and conversion ----

int32_t TKpCanvas::baseX() const {
    if (!owner_) return 0;
    switch (originMode_) {
    case kpOriginPrinter:
        return owner_->PrinterState() ? owner_->PrinterState()->PrinterMargins().Left().value : 0;
    case kpOriginMargins:
    case kpOriginHeader:
        return owner_->Margins().Left().value;
    default:
        return 0;
    }
}

int32_t TKpCanvas::baseY() const {
    if (!owner_) return 0;
    switch (originMode_) {
    case kpOriginPrinter:
        return owner_->PrinterState() ? owner_->PrinterState()->PrinterMargins().Top().value : 0;
    case kpOriginMargins:
        return owner_->Margins().Top().value;
    case kpOriginHeader: {
        TKpHeader& header = owner_->Header();
        return owner_->Margins().Top().value + (header.Visible() ? header.BandHeight().value : 0);
    }
    default:
        return 0;
    }
}

int32_t TKpCanvas::toUnits(Extended v, TKpUnit unit) {
    return static_cast<int32_t>(kp::Round(ConvertUnits(unit, kpUnits, v)));
}

void TKpCanvas::requirePage() const {
    if (!page_) throw std::logic_error("TKpCanvas: no page to record on");
}

void TKpCanvas::addObject(TKpObjectPtr<TKpBaseObject> object) {
    requirePage();
    TKpBaseObject* added = object.get();
    page_->AddObject(std::move(object));
    lastObject_ = added;
    if (owner_) owner_->FireCanvasChange(this);
}

TKpFontData TKpCanvas::fontData() const {
    return GetFontData(font_);
}

// ---- text ----

void TKpCanvas::TextOut(Extended x, Extended y, const QString& text, TKpUnit unit) {
    requirePage();
    auto object = newObject<TKpTextObject>();
    object->X1 = toUnits(x, unit) + originXNow();
    object->Y1 = toUnits(y, unit) + originYNow();
    object->Brush = GetBrushData(brush_);
    object->Text = text;
    object->Font = fontData();
    // Plain text output does not go through the add path.
    page_->AddObject(std::move(object));
}

void TKpCanvas::TextOutRight(Extended x, Extended y, const QString& text, TKpUnit unit) {
    requirePage();
    const int32_t width = TextWidth(text).value;
    auto object = newObject<TKpTextObject>();
    object->X1 = toUnits(x, unit) + originXNow() - width;
    object->Y1 = toUnits(y, unit) + originYNow();
    object->Brush = GetBrushData(brush_);
    object->Text = text;
    object->Font = fontData();
    page_->AddObject(std::move(object));
}

void TKpCanvas::RotateOut(Extended x, Extended y, Extended angle, const QString& text,
                          TKpUnit unit) {
    requirePage();
    font_.SetEscapement(kp::RoundInt(angle * 10));
    auto object = newObject<TKpTextObject>();
    object->X1 = static_cast<int32_t>(kp::Round(originXNow() + ConvertUnits(unit, kpUnits, x)));
    object->Y1 = static_cast<int32_t>(kp::Round(originYNow() + ConvertUnits(unit, kpUnits, y)));
    object->Brush = GetBrushData(brush_);
    object->Text = text;
    object->Font = fontData();
    addObject(std::move(object));
}

Extended TKpCanvas::TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                            TAlignment alignment, bool addToPage, TKpUnit unit,
                            TTextLayout layout) {
    if (addToPage) requirePage();
    Extended fx1 = ConvertUnits(unit, kpUnits, x1);
    Extended fy1 = ConvertUnits(unit, kpUnits, y1);
    Extended fx2 = ConvertUnits(unit, kpUnits, x2);
    Extended fy2 = ConvertUnits(unit, kpUnits, y2);
    if (text.isEmpty() && fy2 == 0) fy2 = fy1;

    auto object = newObject<TKpTextBoxObject>();
    object->Text = text;
    object->Alignment = alignment;
    object->Layout = layout;
    object->Brush = GetBrushData(brush_);
    object->Font = fontData();
    object->Pen = GetPenData(pen_);

    if (fy2 == 0 && !text.isEmpty()) {
        // Automatic height: the wrapped text measured at screen resolution.
        const int ppi = ScreenPixelsPerInch();
        const int left = kp::RoundInt(ConvertUnits(kpUnits, kpPixels, fx1));
        const int top = kp::RoundInt(ConvertUnits(kpUnits, kpPixels, fy1));
        const int right = kp::RoundInt(ConvertUnits(kpUnits, kpPixels, fx2));
        TKpDeviceCanvas& measure = MeasureCanvas();
        measure.Font().Assign(font_);
        QRect r(QPoint(left, top), QPoint(right - 1, top - 1));
        measure.DrawText(text, r, DT_CALCRECT | DT_WORDBREAK);
        const int bottom = r.bottom() + 1; // exclusive edge
        TKpValue v;
        v.SetInches(static_cast<Extended>(bottom) / ppi);
        fy2 = v.value;
    }

    object->X1 = static_cast<int32_t>(kp::Round(fx1)) + originXNow();
    object->Y1 = static_cast<int32_t>(kp::Round(fy1)) + originYNow();
    object->X2 = static_cast<int32_t>(kp::Round(fx2)) + originXNow();
    object->Y2 = static_cast<int32_t>(kp::Round(fy2)) + originYNow();
    const Extended height = ConvertUnits(kpUnits, unit, object->Y2 - object->Y1);
    if (addToPage) addObject(std::move(object));
    return height;
}

// ---- figures ----

template <typename Shape>
void TKpCanvas::recordShape(TKpObjectPtr<Shape> shape, Extended x1, Extended y1, Extended x2,
                            Extended y2, TKpUnit unit) {
    const int32_t ox = originXNow(), oy = originYNow();
    shape->X1 = toUnits(x1, unit) + ox;
    shape->Y1 = toUnits(y1, unit) + oy;
    shape->X2 = toUnits(x2, unit) + ox;
    shape->Y2 = toUnits(y2, unit) + oy;
    shape->Brush = GetBrushData(brush_);
    shape->Pen = GetPenData(pen_);
    addObject(std::move(shape));
}

void TKpCanvas::Rectangle(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit) {
    requirePage();
    recordShape(newObject<TKpRectangleShape>(), x1, y1, x2, y2, unit);
}

void TKpCanvas::Ellipse(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit) {
    requirePage();
    recordShape(newObject<TKpEllipseShape>(), x1, y1, x2, y2, unit);
}

void TKpCanvas::RoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                          Extended y3, TKpUnit unit) {
    requirePage();
    auto shape = newObject<TKpRoundRectShape>();
    // The corner ellipse is a size, not a position: no origin.
    shape->X3 = toUnits(x3, unit);
    shape->Y3 = toUnits(y3, unit);
    recordShape(std::move(shape), x1, y1, x2, y2, unit);
}

template <typename Shape>
void TKpCanvas::recordComplex(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                              Extended y3, Extended x4, Extended y4, TKpUnit unit) {
    requirePage();
    auto shape = newObject<Shape>();
    const int32_t ox = originXNow(), oy = originYNow();
    shape->X3 = toUnits(x3, unit) + ox;
    shape->Y3 = toUnits(y3, unit) + oy;
    shape->X4 = toUnits(x4, unit) + ox;
    shape->Y4 = toUnits(y4, unit) + oy;
    recordShape(std::move(shape), x1, y1, x2, y2, unit);
}

void TKpCanvas::Arc(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                    Extended x4, Extended y4, TKpUnit unit) {
    recordComplex<TKpArcShape>(x1, y1, x2, y2, x3, y3, x4, y4, unit);
}

void TKpCanvas::Chord(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                      Extended x4, Extended y4, TKpUnit unit) {
    recordComplex<TKpChordShape>(x1, y1, x2, y2, x3, y3, x4, y4, unit);
}

void TKpCanvas::Pie(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                    Extended x4, Extended y4, TKpUnit unit) {
    recordComplex<TKpPieShape>(x1, y1, x2, y2, x3, y3, x4, y4, unit);
}

template <typename Poly>
void TKpCanvas::recordPoints(const QVector<QPointF>& points, TKpUnit unit) {
    requirePage();
    auto object = newObject<Poly>();
    const int32_t ox = originXNow(), oy = originYNow();
    object->Points.reserve(points.size());
    for (const QPointF& p : points)
        object->Points << QPoint(toUnits(p.x(), unit) + ox, toUnits(p.y(), unit) + oy);
    object->Brush = GetBrushData(brush_);
    object->Pen = GetPenData(pen_);
    addObject(std::move(object));
}

void TKpCanvas::Polygon(const QVector<QPointF>& points, TKpUnit unit) {
    recordPoints<TKpPolygonObject>(points, unit);
}

void TKpCanvas::Polyline(const QVector<QPointF>& points, TKpUnit unit) {
    recordPoints<TKpPolyLineObject>(points, unit);
}

void TKpCanvas::PolyBezier(const QVector<QPointF>& points, TKpUnit unit) {
    recordPoints<TKpPolyBezierObject>(points, unit);
}

void TKpCanvas::addLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    requirePage();
    auto line = newObject<TKpLineObject>();
    const int32_t ox = originXNow(), oy = originYNow();
    line->X1 = x1 + ox;
    line->Y1 = y1 + oy;
    line->X2 = x2 + ox;
    line->Y2 = y2 + oy;
    line->Pen = GetPenData(pen_);
    addObject(std::move(line));
}

void TKpCanvas::Line(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit) {
    addLine(toUnits(x1, unit), toUnits(y1, unit), toUnits(x2, unit), toUnits(y2, unit));
}

void TKpCanvas::MoveTo(Extended x, Extended y, TKpUnit unit) {
    penPos_ = QPoint(toUnits(x, unit), toUnits(y, unit));
}

void TKpCanvas::LineTo(Extended x, Extended y, TKpUnit unit) {
    const QPoint to(toUnits(x, unit), toUnits(y, unit));
    addLine(penPos_.x(), penPos_.y(), to.x(), to.y());
    penPos_ = to;
}

// ---- graphics ----

TKpObjectPtr<TKpGraphicObject> TKpCanvas::newGraphic(Extended x1, Extended y1, Extended x2,
                                                     Extended y2, TKpUnit unit) {
    requirePage();
    auto object = newObject<TKpGraphicObject>();
    object->CopyMode = copyMode_;
    const int32_t ox = originXNow(), oy = originYNow();
    object->X1 = toUnits(x1, unit) + ox;
    object->Y1 = toUnits(y1, unit) + oy;
    object->X2 = toUnits(x2, unit) + ox;
    object->Y2 = toUnits(y2, unit) + oy;
    return object;
}

void TKpCanvas::StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2,
                            const QImage* bitmap, TKpUnit unit) {
    if (!bitmap) return;
    auto object = newGraphic(x1, y1, x2, y2, unit);
    object->SetBitmap(*bitmap);
    addObject(std::move(object));
}

void TKpCanvas::StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2,
                            const TKpMetafile* picture, TKpUnit unit) {
    if (!picture) return;
    auto object = newGraphic(x1, y1, x2, y2, unit);
    object->SetPicture(*picture);
    addObject(std::move(object));
}

void TKpCanvas::StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2,
                            const QPixmap* pixmap, TKpUnit unit) {
    if (!pixmap) return;
    auto object = newGraphic(x1, y1, x2, y2, unit);
    object->SetBitmap(pixmap->toImage());
    addObject(std::move(object));
}

void TKpCanvas::StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const QIcon* icon,
                            TKpUnit unit) {
    if (!icon) return;
    auto object = newGraphic(x1, y1, x2, y2, unit);
    object->SetBitmap(iconBitmap(*icon));
    addObject(std::move(object));
}

void TKpCanvas::drawScaled(Extended x, Extended y, int pixelWidth, int pixelHeight, Extended scale,
                           TKpUnit unit,
                           const std::function<void(int32_t, int32_t, int32_t, int32_t)>& stretch) {
    const int32_t ux = toUnits(x, unit), uy = toUnits(y, unit);
    const int ppi = ScreenPixelsPerInch();
    TKpValue w, h;
    w.SetPixels(ppi, pixelWidth);
    h.SetPixels(ppi, pixelHeight);
    stretch(ux, uy, ux + static_cast<int32_t>(kp::Round(scale * w.value)),
            uy + static_cast<int32_t>(kp::Round(scale * h.value)));
}

void TKpCanvas::Draw(Extended x, Extended y, const QImage* bitmap, Extended scale, TKpUnit unit) {
    if (!bitmap) return;
    drawScaled(x, y, bitmap->width(), bitmap->height(), scale, unit,
               [&](int32_t a, int32_t b, int32_t c, int32_t d) {
                   StretchDraw(a, b, c, d, bitmap, kpUnits);
               });
}

void TKpCanvas::Draw(Extended x, Extended y, const TKpMetafile* picture, Extended scale,
                     TKpUnit unit) {
    if (!picture) return;
    drawScaled(x, y, picture->Width(), picture->Height(), scale, unit,
               [&](int32_t a, int32_t b, int32_t c, int32_t d) {
                   StretchDraw(a, b, c, d, picture, kpUnits);
               });
}

void TKpCanvas::Draw(Extended x, Extended y, const QPixmap* pixmap, Extended scale, TKpUnit unit) {
    if (!pixmap) return;
    drawScaled(x, y, pixmap->width(), pixmap->height(), scale, unit,
               [&](int32_t a, int32_t b, int32_t c, int32_t d) {
                   StretchDraw(a, b, c, d, pixmap, kpUnits);
               });
}

void TKpCanvas::Draw(Extended x, Extended y, const QIcon* icon, Extended scale, TKpUnit unit) {
    if (!icon) return;
    const QSize size = iconSize(*icon);
    drawScaled(x, y, size.width(), size.height(), scale, unit,
               [&](int32_t a, int32_t b, int32_t c, int32_t d) {
                   StretchDraw(a, b, c, d, icon, kpUnits);
               });
}

void TKpCanvas::Draw(Extended x, Extended y, const QImage* bitmap, Extended scale) {
    Draw(x, y, bitmap, scale, defaultUnit_);
}
void TKpCanvas::Draw(Extended x, Extended y, const TKpMetafile* picture, Extended scale) {
    Draw(x, y, picture, scale, defaultUnit_);
}
void TKpCanvas::Draw(Extended x, Extended y, const QPixmap* pixmap, Extended scale) {
    Draw(x, y, pixmap, scale, defaultUnit_);
}
void TKpCanvas::Draw(Extended x, Extended y, const QIcon* icon, Extended scale) {
    Draw(x, y, icon, scale, defaultUnit_);
}

// ---- measuring ----

TKpDeviceCanvas& TKpCanvas::MeasureCanvas() {
    return measureRecorder_->Canvas();
}

TKpValue& TKpCanvas::pixelResult(int pixels) {
    result_->SetPixels(ScreenPixelsPerInch(), pixels);
    return *result_;
}

TKpValue& TKpCanvas::TextWidth(const QString& text) {
    TKpDeviceCanvas& measure = MeasureCanvas();
    measure.Font().Assign(font_);
    return pixelResult(measure.TextWidth(text));
}

TKpValue& TKpCanvas::TextHeight(const QString& text) {
    TKpDeviceCanvas& measure = MeasureCanvas();
    measure.Font().Assign(font_);
    return pixelResult(measure.TextHeight(text));
}

TKpValue& TKpCanvas::GraphicWidth(const QImage* bitmap) {
    return pixelResult(bitmap ? bitmap->width() : 0);
}
TKpValue& TKpCanvas::GraphicHeight(const QImage* bitmap) {
    return pixelResult(bitmap ? bitmap->height() : 0);
}
TKpValue& TKpCanvas::GraphicWidth(const TKpMetafile* picture) {
    return pixelResult(picture ? picture->Width() : 0);
}
TKpValue& TKpCanvas::GraphicHeight(const TKpMetafile* picture) {
    return pixelResult(picture ? picture->Height() : 0);
}
TKpValue& TKpCanvas::GraphicWidth(const QPixmap* pixmap) {
    return pixelResult(pixmap ? pixmap->width() : 0);
}
TKpValue& TKpCanvas::GraphicHeight(const QPixmap* pixmap) {
    return pixelResult(pixmap ? pixmap->height() : 0);
}
TKpValue& TKpCanvas::GraphicWidth(const QIcon* icon) {
    return pixelResult(icon ? iconSize(*icon).width() : 0);
}
TKpValue& TKpCanvas::GraphicHeight(const QIcon* icon) {
    return pixelResult(icon ? iconSize(*icon).height() : 0);
}

// ---- pen and brush slots ----

void TKpCanvas::SavePen() {
    savedPen_.Assign(pen_);
}
void TKpCanvas::RestorePen() {
    pen_.Assign(savedPen_);
}
void TKpCanvas::SaveBrush() {
    savedBrush_.Assign(brush_);
}
void TKpCanvas::RestoreBrush() {
    brush_.Assign(savedBrush_);
}

bool TKpCanvas::Perform(int msg) {
    switch (msg) {
    case KPM_SAVEPEN:
        SavePen();
        return true;
    case KPM_RESTOREPEN:
        RestorePen();
        return true;
    case KPM_SAVEBRUSH:
        SaveBrush();
        return true;
    case KPM_RESTOREBRUSH:
        RestoreBrush();
        return true;
    default:
        return false;
    }
}

} // namespace kp
