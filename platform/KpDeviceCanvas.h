#pragma once
// The drawing layer over QPainter. It keeps the conventions the drawing objects rely on:
// integer device pixels, right and bottom edges exclusive, counter-clockwise arcs from the
// rays through two radial points, alternate polygon filling, text cells of ascent + descent,
// DrawText flags, pen mix modes and raster operations.
#include "paginor/KpExport.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

#include "platform/KpFontTexts.h"
#include "platform/KpGraphics.h"

namespace kp {

class TKpMetafile;

// The copy mode itself when it is one of the fifteen standard raster operations,
// otherwise SRCCOPY (the constants are in platform/KpWinFlags.h).
PAGINOR_EXPORT uint32_t KpStandardRasterOp(uint32_t copyMode);

class PAGINOR_EXPORT TKpDeviceCanvas {
public:
    // Draws through painter (not owned) onto a device of the given resolution.
    TKpDeviceCanvas(QPainter* painter, int dpiX, int dpiY);
    ~TKpDeviceCanvas();

    QPainter* Painter() const { return painter_; }
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }

    // Current drawing state; the font's pixels-per-inch figure is the device's.
    TKpPen& Pen() { return pen_; }
    TKpBrush& Brush() { return brush_; }
    TKpFont& Font() { return font_; }
    uint32_t CopyMode() const { return copyMode_; }
    void SetCopyMode(uint32_t rop) { copyMode_ = rop; }

    // Text: top-left corner at (x, y), rotated by the font's escapement about that corner;
    // with a solid brush the cell background is filled, otherwise transparent.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text);
    // The cell height: ascent + descent of the current font.
    int TextHeight(const QString& text);
    // Writes text into r with the DT_ flags; with DT_CALCRECT only computes r (its bottom,
    // and right for single lines). Returns the height of the text.
    int DrawText(const QString& text, QRect& r, unsigned flags);

    // Figures; boxes take right and bottom as exclusive edges.
    void Rectangle(int x1, int y1, int x2, int y2);
    void FillRect(const QRect& r);
    void Ellipse(int x1, int y1, int x2, int y2);
    void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const QVector<QPoint>& points);
    void Polyline(const QVector<QPoint>& points);
    // Refuses (draws nothing) unless the count is 1 + 3n.
    bool PolyBezier(const QVector<QPoint>& points);
    void MoveTo(int x, int y);
    // The end point itself is not painted.
    void LineTo(int x, int y);
    QPoint PenPos() const;

    // Clip rectangle, intersected with any clip the painter already has (a replayed
    // recording never escapes the clip of the painter that replays it).
    void SetClipRect(const QRect& r);
    void ClearClip();

    // Plays a recorded picture stretched into r.
    void PlayMetafile(const TKpMetafile& picture, const QRect& r);
    // Stretches a bitmap into r with the current copy mode.
    void StretchDraw(const QRect& r, const QImage& bitmap);
    // Device-independent bits stretched into r with a raster operation (printer path).
    void StretchBitmapBits(const QRect& r, const QImage& bitmap, uint32_t rop);

    // The current pen, brush and font as QPainter state.
    QPen qtPen(int width) const;
    QBrush qtBrush() const;
    QFont qtFont() const;

private:
    // The face, height and style a QFont was made for, with its metrics on the device.
    struct TFontCache {
        QString name;
        int height;
        TFontStyles style;
        QFont font;
        QFontMetrics metrics;
        int id;                     // tells the fonts apart (painter state, text layouts)
        mutable TKpFontTexts texts; // its texts' advances and played lines
    };
    const TFontCache& fontCache() const;
    // A text broken into lines for DrawText, with the lines' widths: what a text of one font,
    // width and set of line flags always gives, kept for the next box that repeats it.
    struct TTextLayout {
        int fontId;
        QString text;
        int width;
        unsigned flags;
        QStringList lines;
        QVector<int> widths;
        int widest;
    };
    const TTextLayout& textLayout(const QString& text, int width, unsigned flags);
    bool beginFigure(bool filled, bool usesBrush = true);
    void setComposition(QPainter::CompositionMode mode);
    QRectF outlineOf(const QRect& box) const;
    // After beginFigure: a thinnest pen becomes a one-unit stroke; returns how far the
    // figure's geometry moves with it (half a pixel, or 0 when the pen stays).
    qreal unitStroke();
    void arcFigure(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void blit(const QRect& r, const QImage& bitmap, uint32_t rop);
    // A pen that draws text in color.
    void useTextPen(const QColor& color);
    // Text in the font fc whose cell's top-left corner is at cell.
    void drawTextAt(const TFontCache& fc, QPoint cell, const QString& text);

    // The fonts used last (a report switches between a few); the first is the current one.
    mutable std::vector<std::unique_ptr<TFontCache>> fontCache_;
    mutable int nextFontId_ = 0;
    int painterFontGeneration_ = -1; // the id of the font the painter holds
    std::vector<std::unique_ptr<TTextLayout>> layouts_;
    void usePainterFont(const TFontCache& fc);

    bool baseHasClip_ = false;
    QPainterPath baseClip_;

    QPainter* painter_;
    int dpiX_;
    int dpiY_;
    TKpPen pen_;
    TKpBrush brush_;
    TKpFont font_;
    uint32_t copyMode_ = 13369376; // SRCCOPY
    mutable QPoint penPos_;
    // The transparent text last drawn, whose advance still moves the pen position.
    struct TPendingAdvance {
        QString text;
        QFontMetrics metrics;
    };
    mutable std::optional<TPendingAdvance> pendingAdvance_;
    // Drawing a picture's content where its recording would be played: text is placed the
    // way a played recording places it, so both give the same pixels.
    bool playback_ = false;
};

} // namespace kp
