#pragma once
// Single line spacing as other writers give it: a font's ascent, descent and line gap from its
// horizontal header table. Qt's engine takes the OS/2 table's Windows ascent and descent
// instead, which for some font families (the URW ones among them) is 15 to 35 % taller.
#include <QFont>

namespace kp {

namespace rtf {

// The other writers' line pitch of `font` over Qt's, for a proportional line height; 1 when the
// font does not say.
double LinePitchFactor(const QFont& font);

} // namespace rtf

} // namespace kp
