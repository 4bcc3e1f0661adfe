#pragma once
// Pen, brush and font value objects: plain values with change notification and
// assignment, independent of any device. The drawing layer turns them into QPainter state.
#include "paginor/KpExport.h"

#include <cstdint>
#include <functional>

#include <QString>

#include "platform/KpColor.h"

class QFont;

namespace kp {

enum TPenStyle : uint8_t {
    psSolid = 0,
    psDash,
    psDot,
    psDashDot,
    psDashDotDot,
    psClear,
    psInsideFrame
};
enum TPenMode : uint8_t {
    pmBlack = 0,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TBrushStyle : uint8_t {
    bsSolid = 0,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
// Font style set bits.
enum TFontStyle : uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };
using TFontStyles = uint8_t;
constexpr TFontStyles FontStyleBit(TFontStyle s) {
    return static_cast<TFontStyles>(1u << s);
}

// A set of font styles built the way a Qt developer writes flags: fsBold | fsItalic. Each
// TFontStyle is a bit number, so the plain integers would give 0 | 1 == 1 (italic only);
// this type turns every style into its bit. Bits() is the stored form (TFontStyles).
class TKpFontStyles {
public:
    constexpr TKpFontStyles() = default;
    constexpr TKpFontStyles(TFontStyle s) : bits_(FontStyleBit(s)) {}
    static constexpr TKpFontStyles FromBits(TFontStyles bits) {
        TKpFontStyles r;
        r.bits_ = bits;
        return r;
    }
    constexpr TFontStyles Bits() const { return bits_; }
    constexpr bool Has(TFontStyle s) const { return (bits_ & FontStyleBit(s)) != 0; }
    constexpr TKpFontStyles operator|(TKpFontStyles o) const { return FromBits(bits_ | o.bits_); }
    constexpr TKpFontStyles& operator|=(TKpFontStyles o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr bool operator==(const TKpFontStyles&) const = default;

private:
    TFontStyles bits_ = 0;
};
constexpr TKpFontStyles operator|(TFontStyle a, TFontStyle b) {
    return TKpFontStyles(a) | TKpFontStyles(b);
}

using TNotifyEvent = std::function<void(void* sender)>;

class PAGINOR_EXPORT TKpPen {
public:
    TColor Color() const { return color_; }
    TPenStyle Style() const { return style_; }
    int Width() const { return width_; }
    TPenMode Mode() const { return mode_; }
    void SetColor(TColor v);
    // Qt's colours (TColor keeps red in the low byte, QRgb in the third). Note that
    // SetColor(qRgb(...)) still takes the TColor overload: QRgb is the same integer type.
    void SetColor(const QColor& v) { SetColor(FromQColor(v)); }
    void SetColor(Qt::GlobalColor v) { SetColor(QColor(v)); }
    void SetStyle(TPenStyle v);
    void SetWidth(int v);
    void SetMode(TPenMode v);
    // Copies the four values and notifies once.
    void Assign(const TKpPen& other);
    bool operator==(const TKpPen& o) const {
        return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && mode_ == o.mode_;
    }

    TNotifyEvent OnChange;

private:
    void changed() {
        if (OnChange) OnChange(this);
    }
    TColor color_ = clBlack;
    TPenStyle style_ = psSolid;
    int width_ = 1;
    TPenMode mode_ = pmCopy;
};

class PAGINOR_EXPORT TKpBrush {
public:
    TColor Color() const { return color_; }
    TBrushStyle Style() const { return style_; }
    void SetColor(TColor v);
    // Qt's colours; see TKpPen::SetColor.
    void SetColor(const QColor& v) { SetColor(FromQColor(v)); }
    void SetColor(Qt::GlobalColor v) { SetColor(QColor(v)); }
    void SetStyle(TBrushStyle v);
    void Assign(const TKpBrush& other);
    bool operator==(const TKpBrush& o) const { return color_ == o.color_ && style_ == o.style_; }

    TNotifyEvent OnChange;

private:
    void changed() {
        if (OnChange) OnChange(this);
    }
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

// A font as the original toolkit keeps it: a pixel height tied to a pixels-per-inch
// figure (negative height = character height without internal leading), from which the
// point size is derived, plus a style set, a colour, a face name and an escapement in
// tenths of a degree (the rotation of the text, counter-clockwise).
class PAGINOR_EXPORT TKpFont {
public:
    TKpFont();

    TColor Color() const { return color_; }
    QString Name() const { return name_; }
    int Size() const; // points
    int Height() const { return height_; }
    int PixelsPerInch() const { return ppi_; }
    TFontStyles Style() const { return style_; }
    int Escapement() const { return escapement_; }
    bool HasStyle(TFontStyle s) const { return style_ & FontStyleBit(s); }
    TKpFontStyles Styles() const { return TKpFontStyles::FromBits(style_); }

    void SetColor(TColor v);
    void SetColor(const QColor& v) { SetColor(FromQColor(v)); }
    void SetColor(Qt::GlobalColor v) { SetColor(QColor(v)); }
    // A change of face, size, height or style recreates the handle without its escapement.
    void SetName(const QString& v);
    void SetSize(int points);
    void SetHeight(int pixels);
    void SetStyle(TFontStyles v);
    void SetStyle(TKpFontStyles v) { SetStyle(v.Bits()); }
    // One style alone: SetStyle(fsBold) is bold (the integer overload would read 0 as none).
    void SetStyle(TFontStyle v) { SetStyle(TKpFontStyles(v)); }
    // Face, size (points, or pixels when the font has only a pixel size) and styles of a Qt
    // font, notified once; the colour stays and the escapement goes back to 0.
    void Set(const QFont& font);
    // Changing the pixels-per-inch figure keeps the height; the next size is converted
    // with the new figure.
    void SetPixelsPerInch(int ppi) { ppi_ = ppi > 0 ? ppi : 96; }
    void SetEscapement(int tenths);
    // Copies colour, face, style and escapement; the size is carried over in points, turned
    // into a height at this font's own pixels per inch when the two figures differ.
    void Assign(const TKpFont& other);

    TNotifyEvent OnChange;

private:
    void changed() {
        if (OnChange) OnChange(this);
    }
    TColor color_ = clWindowText;
    QString name_ = QStringLiteral("Arial");
    int height_ = 0;
    int ppi_ = 96;
    TFontStyles style_ = 0;
    int escapement_ = 0;
};

} // namespace kp
