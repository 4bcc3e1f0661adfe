#include "platform/KpDeviceCanvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>

#include "platform/KpMath.h"
#include "platform/KpMetafilePlayer.h"
#include "platform/KpPicture.h"
#include "platform/KpScreen.h"
#include "platform/KpStateGuard.h"
#include "platform/KpWinFlags.h"

namespace kp {

namespace {

Qt::PenStyle toQtPenStyle(TPenStyle s) {
    switch (s) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle toQtBrushStyle(TBrushStyle s) {
    switch (s) {
    case bsSolid:
        return Qt::SolidPattern;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern; // "\\\\" downward left to right
    case bsBDiagonal:
        return Qt::BDiagPattern; // "////" upward left to right
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::NoBrush;
    }
}

// Pen mix modes as raster operations (source = the pen or brush colour).
QPainter::CompositionMode toComposition(TPenMode m) {
    switch (m) {
    case pmBlack:
        return QPainter::RasterOp_ClearDestination;
    case pmWhite:
        return QPainter::RasterOp_SetDestination;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmNotCopy:
        return QPainter::RasterOp_NotSource;
    case pmMergePenNot:
        return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot:
        return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen:
        return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen:
        return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge:
        return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask:
        return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask:
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

bool supportsRasterOps(QPainter* p) {
    const QPaintEngine* engine = p->paintEngine();
    return engine && engine->hasFeature(QPaintEngine::RasterOpModes);
}

// The parametric angle (degrees, counter-clockwise on screen) of the point where the ray
// from the box centre through (x, y) meets the ellipse inscribed in the box.
qreal rayAngle(const QRectF& box, qreal x, qreal y) {
    const qreal a = box.width() / 2, b = box.height() / 2;
    const qreal dx = x - box.center().x(), dy = box.center().y() - y;
    if (a <= 0 || b <= 0 || (dx == 0 && dy == 0)) return 0;
    return std::atan2(dy / b, dx / a) * 180.0 / M_PI;
}

// Counter-clockwise sweep from start to end in (0, 360]: equal angles give a full turn.
qreal sweep(qreal start, qreal end) {
    qreal s = std::fmod(end - start, 360.0);
    if (s <= 1e-9) s += 360.0;
    return s;
}

QRect normalised(int x1, int y1, int x2, int y2) {
    if (x2 < x1) SwapInt(x1, x2);
    if (y2 < y1) SwapInt(y1, y2);
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

} // namespace

uint32_t KpStandardRasterOp(uint32_t copyMode) {
    switch (copyMode) {
    case BLACKNESS:
    case NOTSRCERASE:
    case NOTSRCCOPY:
    case SRCERASE:
    case DSTINVERT:
    case PATINVERT:
    case SRCINVERT:
    case SRCAND:
    case MERGEPAINT:
    case MERGECOPY:
    case SRCPAINT:
    case PATCOPY:
    case PATPAINT:
    case WHITENESS:
        return copyMode;
    default:
        return SRCCOPY;
    }
}

TKpDeviceCanvas::TKpDeviceCanvas(QPainter* painter, int dpiX, int dpiY)
    : painter_(painter), dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96) {
    font_.SetPixelsPerInch(dpiY_);
    font_.SetSize(8);
    if (painter_ && painter_->isActive()) {
        baseHasClip_ = painter_->hasClipping();
        if (baseHasClip_) baseClip_ = painter_->clipPath();
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setBackgroundMode(Qt::TransparentMode);
    }
}

TKpDeviceCanvas::~TKpDeviceCanvas() = default;

QPen TKpDeviceCanvas::qtPen(int width) const {
    if (pen_.Style() == psClear) return QPen(Qt::NoPen);
    QPen pen(ToQColor(pen_.Color()));
    pen.setStyle(toQtPenStyle(pen_.Style()));
    if (width <= 1) {
        // Width 0 (or 1) is the device's thinnest line: cosmetic, flat ends, so that a line
        // leaves its end pixel unpainted.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        // Wider pens are geometric with round ends and joins.
        pen.setWidth(width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    return pen;
}

QBrush TKpDeviceCanvas::qtBrush() const {
    const Qt::BrushStyle style = toQtBrushStyle(brush_.Style());
    if (style == Qt::NoBrush) return QBrush(Qt::NoBrush);
    return QBrush(ToQColor(brush_.Color()), style);
}

QFont TKpDeviceCanvas::qtFont() const {
    return fontCache().font;
}

const TKpDeviceCanvas::TFontCache& TKpDeviceCanvas::fontCache() const {
    const auto same = [this](const std::unique_ptr<TFontCache>& c) {
        return c->height == font_.Height() && c->style == font_.Style() && c->name == font_.Name();
    };
    if (!fontCache_.empty() && same(fontCache_.front())) return *fontCache_.front();
    for (size_t i = 1; i < fontCache_.size(); ++i) {
        if (same(fontCache_[i])) {
            std::rotate(fontCache_.begin(), fontCache_.begin() + static_cast<long>(i),
                        fontCache_.begin() + static_cast<long>(i) + 1);
            return *fontCache_.front();
        }
    }
    // An empty face name (older documents store none) keeps the default face: a font with
    // an empty family crashes when a picture records it.
    QFont f;
    if (!font_.Name().isEmpty()) f = QFont(font_.Name());
    const int h = font_.Height();
    if (h < 0) {
        f.setPixelSize(-h);
    } else if (h > 0) {
        // A positive height is the cell height (with internal leading): shrink the em.
        f.setPixelSize(h);
        const QFontMetrics fm(f);
        const int cell = fm.ascent() + fm.descent();
        if (cell > 0) f.setPixelSize(MaxInt(1, kp::RoundInt(Extended(h) * h / cell)));
    } else {
        f.setPixelSize(MaxInt(1, kp::RoundInt(Extended(12) * dpiY_ / 72)));
    }
    f.setBold(font_.HasStyle(fsBold));
    f.setItalic(font_.HasStyle(fsItalic));
    f.setUnderline(font_.HasStyle(fsUnderline));
    f.setStrikeOut(font_.HasStyle(fsStrikeOut));
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    QPaintDevice* device = painter_ && painter_->isActive() ? painter_->device() : nullptr;
    constexpr size_t kFonts = 8;
    if (fontCache_.size() >= kFonts) fontCache_.pop_back();
    const QFontMetrics metrics = device ? QFontMetrics(f, device) : QFontMetrics(f);
    fontCache_.insert(fontCache_.begin(),
                      std::make_unique<TFontCache>(TFontCache{
                          font_.Name(), h, font_.Style(), f, metrics, nextFontId_++, {}}));
    return *fontCache_.front();
}

// Brings the painter's pen, brush and mix mode in line with the canvas. Only changes are
// passed on: a recorded picture stores every state change, and save/restore pairs would
// store the whole state each time.
// The painter keeps its own copy of a font (resolved for the device) that never compares
// equal to ours; the generation of the cached font set last tells whether it changed.
void TKpDeviceCanvas::usePainterFont(const TFontCache& fc) {
    if (painterFontGeneration_ == fc.id && painter_->font().family() == fc.font.family()) return;
    painter_->setFont(fc.font);
    painterFontGeneration_ = fc.id;
}

bool TKpDeviceCanvas::beginFigure(bool filled, bool usesBrush) {
    if (!painter_ || !painter_->isActive()) return false;
    if (pen_.Mode() == pmNop) return false; // R2_NOP leaves the target unchanged
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (pen_.Mode() != pmCopy && supportsRasterOps(painter_)) mode = toComposition(pen_.Mode());
    setComposition(mode);
    const QPen pen = qtPen(pen_.Width());
    if (painter_->pen() != pen) painter_->setPen(pen);
    // Lines and polylines never fill: whatever brush the painter has stays.
    if (!usesBrush) return true;
    const QBrush brush = filled ? qtBrush() : QBrush(Qt::NoBrush);
    if (painter_->brush() != brush) painter_->setBrush(brush);
    return true;
}

void TKpDeviceCanvas::setComposition(QPainter::CompositionMode mode) {
    if (painter_->compositionMode() != mode) painter_->setCompositionMode(mode);
}

// A one-pixel pen lies on the outermost pixels inside the box; wider pens centre on that
// line, except psInsideFrame which keeps the whole stroke inside the box. Without a pen the
// brush fills the whole box.
QRectF TKpDeviceCanvas::outlineOf(const QRect& box) const {
    if (pen_.Style() == psClear) return QRectF(box);
    QRectF outline(box.x(), box.y(), box.width() - 1, box.height() - 1);
    const int w = pen_.Width();
    if (pen_.Style() == psInsideFrame && w > 1)
        outline.adjust((w - 1) / 2.0, (w - 1) / 2.0, -(w - 1) / 2.0, -(w - 1) / 2.0);
    return outline;
}

// Curves computed from integer boxes land a hair short of pixel lines (49.99999); a nudge
// below the rasteriser's precision keeps them on the line, as integer points are.
static QRectF nudged(const QRectF& r) {
    return r.translated(1.0 / 128, 1.0 / 128);
}

void TKpDeviceCanvas::TextOut(int x, int y, const QString& text) {
    if (!painter_ || !painter_->isActive()) return;
    const TFontCache& fc = fontCache();
    const QFontMetrics& fm = fc.metrics;
    // A transparent text needs its advance only for the pen position: measured when asked.
    const bool opaque = brush_.Style() == bsSolid;
    const int width = opaque ? fc.texts.Advance(fm, text) : 0;
    const int cell = fm.ascent() + fm.descent();
    setComposition(QPainter::CompositionMode_SourceOver);
    usePainterFont(fc);
    const bool rotated = font_.Escapement() != 0;
    if (rotated) {
        painter_->save();
        painter_->translate(x, y);
        painter_->rotate(-font_.Escapement() / 10.0);
    }
    const QPoint origin = rotated ? QPoint(0, 0) : QPoint(x, y);
    if (opaque && width > 0) {
        // The opaque cell: a pen-less rectangle in the brush colour.
        if (painter_->pen().style() != Qt::NoPen) painter_->setPen(Qt::NoPen);
        const QBrush cellBrush(ToQColor(brush_.Color()));
        if (painter_->brush() != cellBrush) painter_->setBrush(cellBrush);
        painter_->drawRect(QRect(origin, QSize(width, cell)));
    }
    useTextPen(ToQColor(font_.Color()));
    drawTextAt(fc, origin, text);
    if (rotated) painter_->restore();
    penPos_ = QPoint(x + width, y);
    if (opaque)
        pendingAdvance_.reset();
    else
        pendingAdvance_.emplace(TPendingAdvance{text, fm});
}

void TKpDeviceCanvas::useTextPen(const QColor& color) {
    // Glyphs are filled with the pen's colour alone: any solid pen of that colour draws the
    // same text, and keeping the one in force spares the device a change of state (a PDF
    // writer records every one).
    const QPen& pen = painter_->pen();
    if (pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern &&
        pen.color() == color)
        return;
    painter_->setPen(QPen(color));
}

QPoint TKpDeviceCanvas::PenPos() const {
    if (pendingAdvance_) {
        penPos_.rx() += pendingAdvance_->metrics.horizontalAdvance(pendingAdvance_->text);
        pendingAdvance_.reset();
    }
    return penPos_;
}

void TKpDeviceCanvas::drawTextAt(const TFontCache& fc, QPoint cell, const QString& text) {
    const int ascent = fc.metrics.ascent();
    if (playback_) {
        const QFont& font = painter_->font();
        if (font.underline() || font.strikeOut() || font.overline()) {
            // A recording keeps the lines under or through the text as drawn at recording
            // time: record this text on its own and play it under the target's mapping.
            QPicture piece;
            {
                QPainter recorder(&piece);
                recorder.setRenderHints(painter_->renderHints());
                recorder.setFont(font);
                recorder.setPen(painter_->pen());
                recorder.drawText(QPointF(cell.x(), cell.y() + ascent), text);
            }
            const QPaintDevice* dev = painter_->device();
            const qreal devX = dev ? dev->logicalDpiX() : 96, devY = dev ? dev->logicalDpiY() : 96;
            painter_->save();
            painter_->scale(piece.logicalDpiX() / devX, piece.logicalDpiY() / devY);
            painter_->drawPicture(0, 0, piece);
            painter_->restore();
            return;
        }
        // A played recording lays its text out again from the cell's top, which puts the
        // baseline at the font's exact ascent; scaled or turned, that shows. The layout is
        // kept for the next time the page shows the same text.
        fc.texts.DrawPlayed(*painter_, QPointF(cell), text);
    } else {
        painter_->drawText(QPointF(cell.x(), cell.y() + ascent), text);
    }
}

int TKpDeviceCanvas::TextWidth(const QString& text) {
    const TFontCache& fc = fontCache();
    return fc.texts.Advance(fc.metrics, text);
}

int TKpDeviceCanvas::TextHeight(const QString&) {
    const QFontMetrics& fm = fontCache().metrics;
    return fm.ascent() + fm.descent();
}

namespace {
QString expandTabs(const QString& line, const QFontMetrics& fm) {
    if (!line.contains(QLatin1Char('\t'))) return line;
    // Tab stops every eight average character widths. Widths are summed as the line grows
    // (linear in its length, whatever the font), and a blank of no width still counts one
    // pixel, so a tab always ends.
    const int stop = MaxInt(1, 8 * fm.averageCharWidth());
    const int blank = MaxInt(1, fm.horizontalAdvance(QLatin1Char(' ')));
    QString out;
    out.reserve(line.size());
    qint64 width = 0;
    for (QChar c : line) {
        if (c == QLatin1Char('\t')) {
            const qint64 target = (width / stop + 1) * stop;
            const qint64 blanks = MaxInt(1, static_cast<int>((target - width + blank - 1) / blank));
            out.append(QString(static_cast<qsizetype>(blanks), QLatin1Char(' ')));
            width += blanks * blank;
        } else {
            out += c;
            width += fm.horizontalAdvance(c);
        }
    }
    return out;
}

// Breaks one paragraph into lines no wider than width, at spaces; a word wider than the
// line stays whole. Each word is measured once, so long texts wrap in linear time.
void wrapParagraph(const QString& para, int width, const QFontMetrics& fm, QStringList& lines) {
    if (para.isEmpty() || fm.horizontalAdvance(para) <= width) {
        lines << para;
        return;
    }
    const int blank = fm.horizontalAdvance(QLatin1Char(' '));
    QString line;
    qint64 lineWidth = 0;     // the line without its trailing blanks
    qint64 trailingWidth = 0; // the blanks after the line's last word
    int i = 0;
    const int n = static_cast<int>(para.size());
    while (i < n) {
        int j = i;
        while (j < n && para[j] != QLatin1Char(' '))
            ++j;
        int k = j;
        while (k < n && para[k] == QLatin1Char(' '))
            ++k;
        const QString word = para.mid(i, j - i);
        const qint64 wordWidth = fm.horizontalAdvance(word);
        if (!line.isEmpty() && lineWidth + trailingWidth + wordWidth > width) {
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            lines << line;
            line = word;
            lineWidth = wordWidth;
        } else {
            line += word;
            lineWidth += trailingWidth + wordWidth;
        }
        line += para.mid(j, k - j);
        trailingWidth = static_cast<qint64>(k - j) * blank;
        i = k;
    }
    // Trailing blanks do not count against the line.
    while (line.endsWith(QLatin1Char(' ')))
        line.chop(1);
    lines << line;
}
} // namespace

const TKpDeviceCanvas::TTextLayout& TKpDeviceCanvas::textLayout(const QString& text, int width,
                                                                unsigned flags) {
    const TFontCache& fc = fontCache();
    const unsigned lineFlags = flags & (DT_SINGLELINE | DT_EXPANDTABS | DT_WORDBREAK);
    // Only wrapping depends on the width.
    const int w = (lineFlags & DT_WORDBREAK) && !(lineFlags & DT_SINGLELINE) ? width : 0;
    for (const auto& l : layouts_)
        if (l->fontId == fc.id && l->width == w && l->flags == lineFlags && l->text == text)
            return *l;
    const QFontMetrics& fm = fc.metrics;
    auto layout = std::make_unique<TTextLayout>();
    layout->fontId = fc.id;
    layout->text = text;
    layout->width = w;
    layout->flags = lineFlags;
    QStringList& lines = layout->lines;
    QString source = text;
    // Without DT_EXPANDTABS a tab is just a blank.
    if (!(flags & DT_EXPANDTABS)) source.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (flags & DT_SINGLELINE) {
        QString one = source;
        one.replace(QLatin1String("\r\n"), QLatin1String(" "));
        one.replace(QLatin1Char('\n'), QLatin1Char(' '))
            .replace(QLatin1Char('\r'), QLatin1Char(' '));
        lines << ((flags & DT_EXPANDTABS) ? expandTabs(one, fm) : one);
    } else {
        QString normal = source;
        normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        normal.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (QString para : normal.split(QLatin1Char('\n'))) {
            if (flags & DT_EXPANDTABS) para = expandTabs(para, fm);
            if (flags & DT_WORDBREAK)
                wrapParagraph(para, width, fm, lines);
            else
                lines << para;
        }
    }
    layout->widths.reserve(lines.size());
    layout->widest = 0;
    for (const QString& l : lines) {
        layout->widths << fm.horizontalAdvance(l);
        layout->widest = MaxInt(layout->widest, layout->widths.back());
    }
    // A few layouts are enough for the boxes a page repeats.
    constexpr size_t kLayouts = 16;
    if (layouts_.size() >= kLayouts) layouts_.pop_back();
    layouts_.insert(layouts_.begin(), std::move(layout));
    return *layouts_.front();
}

int TKpDeviceCanvas::DrawText(const QString& text, QRect& r, unsigned flags) {
    const TFontCache& fc = fontCache();
    const QFontMetrics& fm = fc.metrics;
    const int lineHeight = fm.ascent() + fm.descent();
    const int width = r.right() + 1 - r.left(); // r's right edge is exclusive
    const TTextLayout& layout = textLayout(text, width, flags);
    const QStringList& lines = layout.lines;
    const int textHeight = lineHeight * static_cast<int>(lines.size());

    if (flags & DT_CALCRECT) {
        const int widest = layout.widest;
        // The rectangle shrinks or grows to the widest line and the lines' height.
        r.setRight(r.left() + widest - 1);
        r.setBottom(r.top() + textHeight - 1);
        return textHeight;
    }
    if (!painter_ || !painter_->isActive()) return textHeight;

    int top = r.top();
    if (flags & DT_SINGLELINE) {
        if (flags & DT_VCENTER)
            top = r.top() + (r.height() - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            top = r.top() + r.height() - lineHeight;
    }
    // Lines are measured once; the text is clipped to r only when it overflows it.
    const QVector<int>& widths = layout.widths;
    const int widest = layout.widest;
    const bool clip = !(flags & DT_NOCLIP) &&
                      (widest > r.width() || top < r.top() || top + textHeight > r.bottom() + 1);
    if (clip) {
        painter_->save();
        painter_->setClipRect(r, Qt::IntersectClip);
    }
    setComposition(QPainter::CompositionMode_SourceOver);
    usePainterFont(fc);
    const bool opaque = brush_.Style() == bsSolid;
    const QColor textColor = ToQColor(font_.Color());
    const QBrush cellBrush(ToQColor(brush_.Color()));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& l = lines[i];
        const int w = widths[i];
        int x = r.left();
        if (flags & DT_CENTER)
            x = r.left() + (r.width() - w) / 2;
        else if (flags & DT_RIGHT)
            x = r.left() + r.width() - w;
        const int y = top + i * lineHeight;
        if (opaque && w > 0) {
            if (painter_->pen().style() != Qt::NoPen) painter_->setPen(Qt::NoPen);
            if (painter_->brush() != cellBrush) painter_->setBrush(cellBrush);
            painter_->drawRect(QRect(x, y, w, lineHeight));
        }
        useTextPen(textColor);
        drawTextAt(fc, QPoint(x, y), l);
    }
    if (clip) {
        painter_->restore();
        painterFontGeneration_ = -1; // the font set inside the clip is gone
    }
    return textHeight;
}

void TKpDeviceCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    const QRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty() || !beginFigure(true)) return;
    const QPen pen = painter_->pen();
    if (pen.style() != Qt::NoPen && pen.isCosmetic()) {
        // The thinnest frame as a one-unit stroke through the centres of the edge pixels:
        // the same pixels as a hairline here, and, when a recorded picture is played
        // scaled, a frame that scales with the fill to the box's last pixels.
        QPen frame = pen;
        frame.setWidth(1);
        frame.setCosmetic(false);
        frame.setCapStyle(Qt::SquareCap);
        painter_->setPen(frame);
        painter_->drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
        painter_->setPen(pen);
        return;
    }
    painter_->drawRect(outlineOf(box));
}

void TKpDeviceCanvas::FillRect(const QRect& r) {
    if (!painter_ || !painter_->isActive() || brush_.Style() == bsClear) return;
    setComposition(QPainter::CompositionMode_SourceOver);
    if (painter_->pen().style() != Qt::NoPen) painter_->setPen(Qt::NoPen);
    const QBrush brush = qtBrush();
    if (painter_->brush() != brush) painter_->setBrush(brush);
    painter_->drawRect(r);
}

// The thinnest outline as a one-unit stroke through the centres of the edge pixels, as the
// rectangle's frame: the same pixels as a hairline here, and, when a recorded picture is
// played scaled, an outline that scales with the fill to the figure's last pixels. The
// painter's pen is set anew by the next figure.
qreal TKpDeviceCanvas::unitStroke() {
    const QPen pen = painter_->pen();
    if (pen.style() == Qt::NoPen || !pen.isCosmetic()) return 0;
    QPen unit = pen;
    unit.setWidth(1);
    unit.setCosmetic(false);
    painter_->setPen(unit);
    return 0.5;
}

void TKpDeviceCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const QRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty() || !beginFigure(true)) return;
    const qreal shift = unitStroke();
    painter_->drawEllipse(nudged(outlineOf(box)).translated(shift, shift));
}

void TKpDeviceCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
    const QRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty() || !beginFigure(true)) return;
    const qreal shift = unitStroke();
    const QRectF r = nudged(outlineOf(box)).translated(shift, shift);
    painter_->drawRoundedRect(r, qMin(qAbs(w) / 2.0, r.width() / 2),
                              qMin(qAbs(h) / 2.0, r.height() / 2));
}

void TKpDeviceCanvas::arcFigure(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                                int y4) {
    const QRect box = normalised(x1, y1, x2, y2);
    if (box.isEmpty()) return;
    // Angles are taken about the centre of the outline, in the same pixel coordinates as
    // the radial points.
    const QRectF full(box.x(), box.y(), box.width() - 1, box.height() - 1);
    const qreal a0 = rayAngle(full, x3, y3);
    const qreal span = sweep(a0, rayAngle(full, x4, y4));
    if (!beginFigure(kind != 0)) return;
    const qreal shift = unitStroke();
    const QRectF r = nudged(outlineOf(box)).translated(shift, shift);
    QPainterPath p;
    if (kind == 2) { // pie: centre, arc, back to the centre
        p.moveTo(r.center());
        p.arcTo(r, a0, span);
        p.closeSubpath();
    } else {
        p.arcMoveTo(r, a0);
        p.arcTo(r, a0, span);
        if (kind == 1) p.closeSubpath(); // chord
    }
    painter_->drawPath(p);
}

void TKpDeviceCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcFigure(0, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TKpDeviceCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcFigure(1, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TKpDeviceCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    arcFigure(2, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TKpDeviceCanvas::Polygon(const QVector<QPoint>& points) {
    if (points.size() < 2 || !beginFigure(true)) return;
    if (const qreal shift = unitStroke()) {
        painter_->drawPolygon(QPolygonF(QPolygon(points)).translated(shift, shift),
                              Qt::OddEvenFill);
        return;
    }
    painter_->drawPolygon(points.constData(), static_cast<int>(points.size()), Qt::OddEvenFill);
}

void TKpDeviceCanvas::Polyline(const QVector<QPoint>& points) {
    // One point is no line at all.
    if (points.size() < 2 || !beginFigure(false, false)) return;
    painter_->drawPolyline(points.constData(), static_cast<int>(points.size()));
}

bool TKpDeviceCanvas::PolyBezier(const QVector<QPoint>& points) {
    if (points.size() < 4 || (points.size() - 1) % 3 != 0) return false;
    if (!beginFigure(false)) return true;
    QPainterPath path{QPointF(points[0])};
    for (int i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(QPointF(points[i]), QPointF(points[i + 1]), QPointF(points[i + 2]));
    painter_->drawPath(path);
    return true;
}

void TKpDeviceCanvas::MoveTo(int x, int y) {
    pendingAdvance_.reset();
    penPos_ = QPoint(x, y);
}

void TKpDeviceCanvas::LineTo(int x, int y) {
    const QPoint from = PenPos();
    penPos_ = QPoint(x, y);
    if (from == penPos_ || pen_.Style() == psClear || !beginFigure(false, false)) return;
    // The end point itself is not painted: an aliased flat-capped cosmetic line between
    // integer points covers its start pixel but not its end pixel.
    painter_->drawLine(from, penPos_);
}

void TKpDeviceCanvas::SetClipRect(const QRect& r) {
    if (!painter_ || !painter_->isActive()) return;
    if (baseHasClip_) {
        painter_->setClipPath(baseClip_);
        painter_->setClipRect(r, Qt::IntersectClip);
    } else {
        painter_->setClipRect(r, Qt::ReplaceClip);
    }
}

void TKpDeviceCanvas::ClearClip() {
    if (!painter_ || !painter_->isActive()) return;
    if (baseHasClip_)
        painter_->setClipPath(baseClip_);
    else
        painter_->setClipping(false);
}

void TKpDeviceCanvas::PlayMetafile(const TKpMetafile& picture, const QRect& r) {
    // Boxes come from files: text stretched thousands of times more on one axis than the
    // other makes the glyph rasteriser fail. Such a sliver shows nothing anyway.
    constexpr qreal kMaxStretchRatio = 256;
    if (!painter_ || !painter_->isActive() || picture.Empty()) return;
    if (picture.Width() <= 0 || picture.Height() <= 0 || r.width() == 0 || r.height() == 0) return;
    if (picture.Form() != TKpPictureForm::Recording) {
        // A platform metafile plays from its own bytes straight into r, so the target (a PDF
        // among them) gets its vectors and texts; the player keeps the painter's state.
        const qreal ratio =
            std::fabs(qreal(r.width()) / r.height() * picture.Height() / picture.Width());
        if (!(ratio <= kMaxStretchRatio && ratio >= 1 / kMaxStretchRatio)) return;
        KpPlayMetafile(picture.MetafileBytes(), *painter_, QRectF(r));
        return;
    }
    // drawPicture already scales by the target's logical resolution over the picture's own
    // (the screen's), so only the remaining stretch is ours.
    const QPaintDevice* dev = painter_->device();
    const qreal devX = dev ? dev->logicalDpiX() : 96, devY = dev ? dev->logicalDpiY() : 96;
    const TKpPictureSource* source = picture.Source();
    // A recording's own resolution; a picture that is not recorded has the one every new
    // recording gets.
    const QPicture probe;
    const QPicture& resolution = source ? probe : picture.Picture();
    const qreal picX = resolution.logicalDpiX(), picY = resolution.logicalDpiY();
    const qreal sx = r.width() / (picture.Width() * devX / picX);
    const qreal sy = r.height() / (picture.Height() * devY / picY);
    const qreal ratio = std::fabs(sx / sy);
    if (!(ratio <= kMaxStretchRatio && ratio >= 1 / kMaxStretchRatio)) return;
    // Restored also when a drawing raises.
    painter_->save();
    const TKpScopeExit restore([painter = painter_] { painter->restore(); });
    // A picture records only the state it changed; start it from the defaults.
    painter_->setPen(QPen(Qt::black));
    painter_->setBrush(Qt::NoBrush);
    painter_->setFont(QFont());
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->translate(r.left(), r.top());
    painter_->scale(sx, sy);
    if (source) {
        // The content drawn straight onto the target, through the same mapping a playback
        // of its recording would take.
        painter_->scale(devX / picX, devY / picY);
        const int ppi = ScreenPixelsPerInch();
        TKpDeviceCanvas canvas(painter_, ppi, ppi);
        canvas.playback_ = true;
        source->DrawPicture(canvas);
    } else {
        painter_->drawPicture(0, 0, picture.Picture());
    }
}

void TKpDeviceCanvas::blit(const QRect& r, const QImage& bitmap, uint32_t rop) {
    if (!painter_ || !painter_->isActive()) return;
    const QRect target = r.normalized();
    const bool rops = supportsRasterOps(painter_);
    painter_->save();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    auto fillWith = [&](const QBrush& b, QPainter::CompositionMode mode) {
        if (rops) painter_->setCompositionMode(mode);
        painter_->fillRect(target, b);
    };
    switch (rop) {
    case BLACKNESS:
        fillWith(Qt::black, QPainter::CompositionMode_SourceOver);
        break;
    case WHITENESS:
        fillWith(Qt::white, QPainter::CompositionMode_SourceOver);
        break;
    case PATCOPY:
        fillWith(qtBrush(), QPainter::CompositionMode_SourceOver);
        break;
    case DSTINVERT:
        if (rops) fillWith(Qt::black, QPainter::RasterOp_NotDestination);
        break;
    case PATINVERT:
        if (rops) fillWith(qtBrush(), QPainter::RasterOp_SourceXorDestination);
        break;
    default: {
        QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
        switch (rop) {
        case SRCPAINT:
            mode = QPainter::RasterOp_SourceOrDestination;
            break;
        case SRCAND:
            mode = QPainter::RasterOp_SourceAndDestination;
            break;
        case SRCINVERT:
            mode = QPainter::RasterOp_SourceXorDestination;
            break;
        case SRCERASE:
            mode = QPainter::RasterOp_SourceAndNotDestination;
            break;
        case NOTSRCCOPY:
            mode = QPainter::RasterOp_NotSource;
            break;
        case NOTSRCERASE:
            mode = QPainter::RasterOp_NotSourceAndNotDestination;
            break;
        case MERGEPAINT:
            mode = QPainter::RasterOp_NotSourceOrDestination;
            break;
        // MERGECOPY and PATPAINT mix the brush pattern in as a third operand, which
        // QPainter cannot express; they, and every target without raster operations
        // (printers, PDF), fall back to a plain source copy.
        default:
            break;
        }
        if (rops) painter_->setCompositionMode(mode);
        painter_->drawImage(QRectF(target), bitmap, QRectF(bitmap.rect()));
        break;
    }
    }
    painter_->restore();
}

void TKpDeviceCanvas::StretchDraw(const QRect& r, const QImage& bitmap) {
    if (bitmap.isNull()) return;
    blit(r, bitmap, KpStandardRasterOp(copyMode_));
}

void TKpDeviceCanvas::StretchBitmapBits(const QRect& r, const QImage& bitmap, uint32_t rop) {
    if (bitmap.isNull()) return;
    // Device-independent bits: a 32-bit RGB copy, whatever the bitmap's own format.
    const QImage bits =
        bitmap.format() == QImage::Format_RGB32 || bitmap.format() == QImage::Format_ARGB32
            ? bitmap
            : bitmap.convertToFormat(QImage::Format_ARGB32);
    blit(r, bits, KpStandardRasterOp(rop));
}

} // namespace kp
