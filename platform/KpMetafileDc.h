#pragma once
// The drawing state a metafile's records change (the platform's device context): mapping,
// the selected pen, brush and font, colours, modes, clipping, the current position and a
// path being recorded; the table of objects the records create; and the drawing itself,
// onto a QPainter whose coordinates are the picture's device pixels after DeviceToTarget.
#include <cstdint>
#include <set>
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRawFont>
#include <QRegion>
#include <QString>
#include <QTransform>

namespace kp {

// Colour as the files store it: 0x00BBGGRR.
inline QColor KpMfColor(uint32_t ref) {
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

struct TKpMfPen {
    uint32_t Style = 0; // style, end cap and join bits as stored
    double Width = 0;   // logical units; 0 is one device pixel
    QColor Color = Qt::black;
};

struct TKpMfBrush {
    uint32_t Style = 0; // 0 solid, 1 none, 2 hatched, 3 and 5/6 pattern
    QColor Color = Qt::white;
    uint32_t Hatch = 0;
    QImage Pattern;
};

struct TKpMfFont {
    int Height = 0, Width = 0, Escapement = 0, Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    int CharSet = 0;
    QString Face;
};

struct TKpMfObject {
    enum Kind { Empty, Pen, Brush, Font, Region, Other } Type = Empty;
    TKpMfPen PenValue;
    TKpMfBrush BrushValue;
    TKpMfFont FontValue;
    QVector<QRect> RegionValue; // logical units (the older form's regions)
};

struct TKpMfState {
    int MapMode = 1;
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    TKpMfPen Pen;
    TKpMfBrush Brush;
    TKpMfFont Font;
    QColor TextColor = Qt::black, BkColor = Qt::white;
    int BkMode = 2; // 1 transparent, 2 opaque
    uint32_t TextAlign = 0;
    int PolyFill = 1; // 1 alternate, 2 winding
    int Rop2 = 13;    // copy pen
    bool Clockwise = false;
    QPointF Current; // logical
    bool HasClip = false;
    QRegion Clip; // device pixels
};

class TKpMetafileDc {
public:
    static constexpr int kMaxObjects = 65536;
    static constexpr int kMaxSaveDepth = 1024;

    static constexpr int kMaxClipRects = 2048;

    // painter's state is saved here and restored by the destructor. Clipping regions are
    // kept in target pixels, near the target: never larger than the target thrice over.
    TKpMetafileDc(QPainter& painter, const QTransform& deviceToTarget, const QRectF& target,
                  double pxPerMmX, double pxPerMmY);
    ~TKpMetafileDc();
    TKpMetafileDc(const TKpMetafileDc&) = delete;
    TKpMetafileDc& operator=(const TKpMetafileDc&) = delete;

    TKpMfState& State() { return st_; }
    void MappingChanged() { mapDirty_ = true; }
    const QTransform& LogicalToDevice();
    QPointF ToDevice(QPointF logical) { return LogicalToDevice().map(logical); }

    // Objects. The enhanced form names the slot; the older form takes the lowest free one.
    bool Create(int index, TKpMfObject object);
    bool CreateInFreeSlot(TKpMfObject object);
    void Select(int index);
    void SelectStock(uint32_t stock);
    void Delete(int index);

    bool SaveDc();
    bool RestoreDc(int which);

    // Clipping, combined as the platform's region modes (1 and, 2 or, 3 xor, 4 minus, 5 copy).
    void CombineClip(const QRegion& targetRegion, int mode);
    // Rectangles in device pixels (right and bottom exclusive) as a region in target pixels.
    QRegion DeviceRegion(const QVector<QRect>& deviceRects) const;
    void ClipRect(const QRectF& logical, bool exclude);
    void ResetClip();

    // Paths.
    void BeginPath();
    void EndPath() { pathOpen_ = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath(bool fill, bool stroke);
    void SelectClipPath(int mode);

    // Drawing in logical units; while a path is recorded the figures go into it instead.
    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points, bool fromCurrent);
    void PolyBezier(const QPolygonF& points, bool fromCurrent);
    void Polygons(const std::vector<QPolygonF>& polygons);
    void Rectangle(QRectF box);
    void RoundRect(QRectF box, QSizeF corner);
    void Ellipse(QRectF box);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void Arc(QRectF box, QPointF start, QPointF end, ArcKind kind);
    void AngleArc(QPointF center, double radius, double startDeg, double sweepDeg);
    void SetPixel(QPointF p, QColor c);
    // Text at ref (or the current position), with optional advances (dx, and dy when given).
    void Text(QPointF ref, const QString& text, const std::vector<double>& dx,
              const std::vector<double>& dy, uint32_t options, const QRectF& rect);
    // A bitmap (or the brush when image is null) into a logical rectangle with a raster op.
    void Blit(const QRectF& dest, const QImage& image, const QRectF& source, uint32_t rop,
              double opacity = 1);
    // A bitmap's source rectangle onto the parallelogram whose upper-left, upper-right and
    // lower-left corners (logical) are given.
    void BlitParallelogram(const QPolygonF& corners, const QImage& image, const QRectF& source);
    // Moves the clip by a logical offset.
    void OffsetClip(QPointF logical);

    // Region drawing: rectangles in logical units (right and bottom exclusive) painted with a
    // brush, framed with it (the frame w x h logical units thick, inside the region), or
    // inverted.
    void FillRegion(const QVector<QRect>& logical, const TKpMfBrush& brush);
    void FrameRegion(const QVector<QRect>& logical, const TKpMfBrush& brush, QSize frame);
    void InvertRegion(const QVector<QRect>& logical);
    // The brush an object slot or a stock object names; a hollow brush for anything else.
    TKpMfBrush BrushOf(uint32_t index);
    // The rectangles of the region in a slot (logical units); nullptr for anything else.
    const QVector<QRect>* RegionAt(int index) const;

private:
    void draw(const QPainterPath& devicePath, bool fill, bool stroke);
    void addFigure(const QPainterPath& logical, bool fill, bool stroke);
    QRectF shrunkBox(QRectF box);
    QPen pen();
    QBrush brush(const TKpMfBrush& b) const;
    void applyClip();
    // A rectangle in target pixels cut to the limit, whole pixels.
    QRect limited(QRectF targetRect) const;
    double deviceScale();
    QFont realisedFont(double& cellRatio);
    void sizeFont(int px);
    // Logical rectangles as a region in target pixels, cut to the limit.
    QRegion targetRegion(const QVector<QRect>& logical);
    void fillTargetRegion(const QRegion& region, const TKpMfBrush& brush);

    QPainter& p_;
    QTransform toTarget_;       // device to target
    QTransform deviceToTarget_; // device to the painter's own coordinates
    QRect limit_;               // target pixels
    double pxPerMmX_, pxPerMmY_;
    TKpMfState st_;
    std::vector<TKpMfState> saved_;
    std::vector<TKpMfObject> objects_;
    std::set<int> freeSlots_;
    int highWater_ = 0;
    QTransform l2d_;
    bool mapDirty_ = true;
    bool inPath_ = false, pathOpen_ = false, figureOpen_ = false;
    QPainterPath path_; // device pixels
    bool hadClip_ = false;
    QPainterPath outerClip_;
    QTransform outer_;
    // The last realised font, reused while the selected font stays the same.
    TKpMfFont fontKey_;
    bool fontCached_ = false;
    QFont font_;
    double cellRatio_ = 1;
    // The same font at the pixel size last drawn, its glyph source and its metrics.
    int sizedPx_ = -1;
    QFont sized_;
    QRawFont raw_;
    double ascent_ = 0, descent_ = 0;
};

} // namespace kp
