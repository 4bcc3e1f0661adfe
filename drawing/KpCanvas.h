#pragma once
// The recording canvas: looks like a drawing surface, but every call records a drawing
// object on the page it is bound to, in KpUnits from the page corner. The current pen,
// brush and font are copied into each object as value records at the moment of the call.
#include "paginor/KpExport.h"

#include <cstdint>
#include <functional>
#include <memory>

#include <QPoint>
#include <QPointF>
#include <QString>
#include <QVector>

#include "drawing/KpObjects.h"
#include "drawing/KpPage.h"
#include "drawing/KpUnits.h"
#include "platform/KpGraphics.h"

class QIcon;
class QImage;
class QPixmap;

namespace kp {

class TKpDeviceCanvas;
class TKpMetafile;
class TKpMetafileCanvas;
class TKpDocument;

// Where recorded coordinates are measured from.
enum TKpOriginMode : uint8_t {
    kpOriginPage = 0,
    kpOriginPrinter = 1,
    kpOriginMargins = 2,
    kpOriginHeader = 3
};

class PAGINOR_EXPORT TKpCanvas {
public:
    explicit TKpCanvas(TKpDocument* owner);
    ~TKpCanvas();
    TKpCanvas(const TKpCanvas&) = delete;
    TKpCanvas& operator=(const TKpCanvas&) = delete;

    // Binding and ownership.
    TKpPage* Page() const { return page_; }
    void SetPage(TKpPage* page) { page_ = page; }
    TKpDocument* Owner() const { return owner_; }

    // Current drawing state.
    TKpBrush& Brush() { return brush_; }
    TKpPen& Pen() { return pen_; }
    TKpFont& Font() { return font_; }
    TKpOriginMode OriginMode() const { return originMode_; }
    void SetOriginMode(TKpOriginMode v) { originMode_ = v; }
    uint32_t CopyMode() const { return copyMode_; }
    void SetCopyMode(uint32_t v) { copyMode_ = v; }
    // KpUnits, without origin.
    QPoint PenPos() const { return penPos_; }
    void SetPenPos(QPoint p) { penPos_ = p; }
    TKpUnit DefaultUnit() const { return defaultUnit_; }
    void SetDefaultUnit(TKpUnit v) { defaultUnit_ = v; }
    // The object most recently added through the add path (not owned).
    TKpBaseObject* LastObject() const { return lastObject_; }
    int32_t OriginX = 0;
    int32_t OriginY = 0;

    // Text.
    void TextOut(Extended x, Extended y, const QString& text, TKpUnit unit);
    void TextOutRight(Extended x, Extended y, const QString& text, TKpUnit unit);
    void RotateOut(Extended x, Extended y, Extended angle, const QString& text, TKpUnit unit);
    // Records a text box (when addToPage) and returns its height in unit; y2 = 0 fits the
    // box to the wrapped text.
    Extended TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                     TAlignment alignment, bool addToPage, TKpUnit unit,
                     TTextLayout layout = tlTop);

    // Figures.
    void Rectangle(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit);
    void Ellipse(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit);
    void RoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                   TKpUnit unit);
    void Arc(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
             Extended x4, Extended y4, TKpUnit unit);
    void Chord(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
               Extended x4, Extended y4, TKpUnit unit);
    void Pie(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
             Extended x4, Extended y4, TKpUnit unit);
    void Polygon(const QVector<QPointF>& points, TKpUnit unit);
    void Polyline(const QVector<QPointF>& points, TKpUnit unit);
    void PolyBezier(const QVector<QPointF>& points, TKpUnit unit);
    void Line(Extended x1, Extended y1, Extended x2, Extended y2, TKpUnit unit);
    void MoveTo(Extended x, Extended y, TKpUnit unit);
    void LineTo(Extended x, Extended y, TKpUnit unit);

    // Graphics: bitmaps, pictures and icons (a null graphic records nothing).
    void StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const QImage* bitmap,
                     TKpUnit unit);
    void StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const TKpMetafile* picture,
                     TKpUnit unit);
    void StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const QPixmap* pixmap,
                     TKpUnit unit);
    void StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const QIcon* icon,
                     TKpUnit unit);
    void Draw(Extended x, Extended y, const QImage* bitmap, Extended scale, TKpUnit unit);
    void Draw(Extended x, Extended y, const TKpMetafile* picture, Extended scale, TKpUnit unit);
    void Draw(Extended x, Extended y, const QPixmap* pixmap, Extended scale, TKpUnit unit);
    void Draw(Extended x, Extended y, const QIcon* icon, Extended scale, TKpUnit unit);
    void Draw(Extended x, Extended y, const QImage* bitmap, Extended scale);
    void Draw(Extended x, Extended y, const TKpMetafile* picture, Extended scale);
    void Draw(Extended x, Extended y, const QPixmap* pixmap, Extended scale);
    void Draw(Extended x, Extended y, const QIcon* icon, Extended scale);

    // Measuring queries: each returns the shared result value (KpUnits), overwritten by the
    // next query.
    TKpValue& TextWidth(const QString& text);
    TKpValue& TextHeight(const QString& text);
    TKpValue& GraphicWidth(const QImage* bitmap);
    TKpValue& GraphicHeight(const QImage* bitmap);
    TKpValue& GraphicWidth(const TKpMetafile* picture);
    TKpValue& GraphicHeight(const TKpMetafile* picture);
    TKpValue& GraphicWidth(const QPixmap* pixmap);
    TKpValue& GraphicHeight(const QPixmap* pixmap);
    TKpValue& GraphicWidth(const QIcon* icon);
    TKpValue& GraphicHeight(const QIcon* icon);

    // Pen and brush slots.
    void SavePen();
    void RestorePen();
    void SaveBrush();
    void RestoreBrush();
    // Dispatches the save/restore message numbers (7037-7040); false for any other number.
    bool Perform(int msg);

    // Measures text at screen resolution (the header and footer measure their band on it).
    TKpDeviceCanvas& MeasureCanvas();

    // An icon's natural size when it names none of its own.
    static constexpr int DefaultIconSize = 32;

private:
    int32_t baseX() const;
    int32_t baseY() const;
    int32_t originXNow() const { return baseX() + OriginX; }
    int32_t originYNow() const { return baseY() + OriginY; }
    static int32_t toUnits(Extended v, TKpUnit unit);
    void requirePage() const;
    void addObject(TKpObjectPtr<TKpBaseObject> object);
    // A new object in the document's object pool (on the heap without a page).
    template <typename T> TKpObjectPtr<T> newObject() const {
        return page_ ? page_->NewObject<T>() : MakeObject<T>(nullptr);
    }
    void addLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    template <typename Shape>
    void recordShape(TKpObjectPtr<Shape> shape, Extended x1, Extended y1, Extended x2, Extended y2,
                     TKpUnit unit);
    template <typename Shape>
    void recordComplex(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                       Extended x4, Extended y4, TKpUnit unit);
    template <typename Poly> void recordPoints(const QVector<QPointF>& points, TKpUnit unit);
    TKpObjectPtr<TKpGraphicObject> newGraphic(Extended x1, Extended y1, Extended x2, Extended y2,
                                              TKpUnit unit);
    void drawScaled(Extended x, Extended y, int pixelWidth, int pixelHeight, Extended scale,
                    TKpUnit unit,
                    const std::function<void(int32_t, int32_t, int32_t, int32_t)>& stretch);
    TKpValue& pixelResult(int pixels);
    TKpFontData fontData() const;

    TKpDocument* owner_;
    TKpPage* page_ = nullptr;
    TKpBrush brush_;
    TKpPen pen_;
    TKpFont font_;
    TKpPen savedPen_;
    TKpBrush savedBrush_;
    TKpOriginMode originMode_ = kpOriginPage;
    uint32_t copyMode_;
    QPoint penPos_;
    TKpUnit defaultUnit_ = kpMillimeters;
    TKpBaseObject* lastObject_ = nullptr;
    std::unique_ptr<TKpMetafile> measureMetafile_;
    std::unique_ptr<TKpMetafileCanvas> measureRecorder_;
    std::unique_ptr<TKpValue> result_;
};

} // namespace kp
