#include "platform/KpGraphics.h"

#include <QFont>

#include "platform/KpMath.h"
#include "platform/KpScreen.h"

namespace kp {

namespace {
// MulDiv as the platform does it: the product in 64 bits, the quotient rounded.
int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    return static_cast<int>(kp::Round(static_cast<Extended>(static_cast<int64_t>(a) * b) / c));
}
} // namespace

void TKpPen::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TKpPen::SetStyle(TPenStyle v) {
    if (v == style_) return;
    style_ = v;
    changed();
}
void TKpPen::SetWidth(int v) {
    if (v == width_) return;
    width_ = v;
    changed();
}
void TKpPen::SetMode(TPenMode v) {
    if (v == mode_) return;
    mode_ = v;
    changed();
}
void TKpPen::Assign(const TKpPen& other) {
    color_ = other.color_;
    style_ = other.style_;
    width_ = other.width_;
    mode_ = other.mode_;
    changed();
}

void TKpBrush::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TKpBrush::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    changed();
}
void TKpBrush::Assign(const TKpBrush& other) {
    color_ = other.color_;
    style_ = other.style_;
    changed();
}

TKpFont::TKpFont() : ppi_(ScreenPixelsPerInch()) {
    height_ = -mulDiv(8, ppi_, 72);
}

int TKpFont::Size() const {
    return -mulDiv(height_, 72, ppi_);
}

void TKpFont::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    changed();
}
void TKpFont::SetName(const QString& v) {
    if (v == name_) return;
    name_ = v;
    escapement_ = 0;
    changed();
}
void TKpFont::SetSize(int points) {
    SetHeight(-mulDiv(points, ppi_, 72));
}
void TKpFont::SetHeight(int pixels) {
    if (pixels == height_) return;
    height_ = pixels;
    escapement_ = 0;
    changed();
}
void TKpFont::SetStyle(TFontStyles v) {
    if (v == style_) return;
    style_ = v;
    escapement_ = 0;
    changed();
}
void TKpFont::SetEscapement(int tenths) {
    if (tenths == escapement_) return;
    escapement_ = tenths;
    changed();
}
void TKpFont::Set(const QFont& font) {
    name_ = font.family();
    if (font.pointSize() > 0)
        height_ = -mulDiv(font.pointSize(), ppi_, 72);
    else if (font.pixelSize() > 0)
        height_ = -font.pixelSize();
    TKpFontStyles styles;
    if (font.bold()) styles |= fsBold;
    if (font.italic()) styles |= fsItalic;
    if (font.underline()) styles |= fsUnderline;
    if (font.strikeOut()) styles |= fsStrikeOut;
    style_ = styles.Bits();
    escapement_ = 0;
    changed();
}
void TKpFont::Assign(const TKpFont& other) {
    color_ = other.color_;
    name_ = other.name_;
    style_ = other.style_;
    height_ = (other.ppi_ == ppi_) ? other.height_ : -mulDiv(other.Size(), ppi_, 72);
    escapement_ = other.escapement_;
    changed();
}

} // namespace kp
