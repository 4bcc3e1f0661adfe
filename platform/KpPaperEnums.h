#pragma once
// The paper sizes and the two orientations, stored in files by their ordinals; the platform
// printer turns its sheet with the same orientation type.
#include <cstdint>

namespace kp {

enum TKpPaperSize : uint8_t { A3 = 0, A4, A5, A6, B5, C5, Legal, Letter, Custom };
enum TKpOrientation : uint8_t { kpPortrait = 0, kpLandscape = 1 };

} // namespace kp
