#pragma once
// The numeric flags of the drawing and printing layers, under the names the platform they
// come from gives them: DrawText flags, raster operations and the fields of a printer's device
// mode. Internal: hosts pass the numbers through the canvas and printer settings.
#include <cstdint>

namespace kp {

// DrawText flags.
enum : unsigned {
    DT_LEFT = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800
};

// Raster operations.
enum : uint32_t {
    BLACKNESS = 66,
    NOTSRCERASE = 1114278,
    NOTSRCCOPY = 3342344,
    SRCERASE = 4457256,
    DSTINVERT = 5570569,
    PATINVERT = 5898313,
    SRCINVERT = 6684742,
    SRCAND = 8913094,
    MERGEPAINT = 12255782,
    MERGECOPY = 12583114,
    SRCCOPY = 13369376,
    SRCPAINT = 15597702,
    PATCOPY = 15728673,
    PATPAINT = 16452105,
    WHITENESS = 16711778
};

// dmFields bits.
enum : uint32_t {
    DM_ORIENTATION = 0x00000001,
    DM_PRINTQUALITY = 0x00000400,
    DM_COLOR = 0x00000800,
    DM_DUPLEX = 0x00001000,
    DM_DITHERTYPE = 0x04000000
};
// dmPrintQuality special values (positive values are dots per inch).
enum : int16_t { DMRES_DRAFT = -1, DMRES_LOW = -2, DMRES_MEDIUM = -3, DMRES_HIGH = -4 };
enum : int16_t { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int16_t { DMCOLOR_MONOCHROME = 1, DMCOLOR_COLOR = 2 };
enum : int16_t { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };
enum : uint32_t {
    DMDITHER_NONE = 1,
    DMDITHER_COARSE = 2,
    DMDITHER_FINE = 3,
    DMDITHER_LINEART = 4,
    DMDITHER_GRAYSCALE = 10
};

} // namespace kp
