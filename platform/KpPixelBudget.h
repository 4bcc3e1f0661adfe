#pragma once
// How large a bitmap the suite makes for one page or one object. Sizes come from files
// (paper, boxes, embedded images), so every such bitmap is checked against a budget first.
#include <cstdint>
#include <limits>

#include <QSize>

namespace kp {

// 16 Mi pixels (64 MiB at 32 bits): a bitmap for one object or one embedded image.
constexpr int64_t MaxObjectBitmapPixels = int64_t(1) << 24;
// 64 Mi pixels (256 MiB at 32 bits, the image reader's own allocation limit): a whole
// page rendered into one image.
constexpr int64_t MaxPageBitmapPixels = int64_t(1) << 26;

// Width times height, saturated (sizes from files may be any 32-bit values).
inline int64_t PixelCount(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return 0;
    if (width > std::numeric_limits<int64_t>::max() / height)
        return std::numeric_limits<int64_t>::max();
    return width * height;
}

// Says once per process on stderr that a bitmap was over the budget, and what was done
// instead (what is a short phrase: "drawn as vectors", "not drawn").
void NoteOverPixelBudget(int64_t width, int64_t height, const char* what);

} // namespace kp
