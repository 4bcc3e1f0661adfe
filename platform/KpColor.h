#pragma once
// Colour values as stored in documents: RGB with red in the low byte, or a system colour
// (top byte 0x80, index in the low byte) resolved through the application palette.
#include "paginor/KpExport.h"

#include <cstdint>

#include <QColor>

namespace kp {

using TColor = uint32_t;

constexpr TColor KpRGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

// System colours (index in the low byte).
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInfoBk = clSystemColor | 24;

// The colour's current RGB value (system colours through the palette).
PAGINOR_EXPORT TColor ColorToRGB(TColor color);
PAGINOR_EXPORT QColor ToQColor(TColor color);
PAGINOR_EXPORT TColor FromQColor(const QColor& color);

inline int GetRValue(TColor c) {
    return c & 0xFF;
}
inline int GetGValue(TColor c) {
    return (c >> 8) & 0xFF;
}
inline int GetBValue(TColor c) {
    return (c >> 16) & 0xFF;
}

// Grey of the same brightness: g = rounded(0.3 R + 0.6 G + 0.1 B).
PAGINOR_EXPORT TColor ToGrey(TColor color);

} // namespace kp
