#include "drawing/KpUnits.h"

#include <stdexcept>
#include <string>

namespace kp {

Extended ConvertUnits(TKpUnit from, TKpUnit to, Extended x) {
    Extended k;
    switch (from) {
    case kpPixels:
        k = x * 100 * 25.4L / ScreenPixelsPerInch();
        break;
    case kpMillimeters:
        k = x * 100;
        break;
    case kpCentimeters:
        k = x * 1000;
        break;
    case kpInches:
        k = x * 100 * 25.4L;
        break;
    default:
        k = x;
        break;
    }
    switch (to) {
    case kpPixels:
        return k / 100 / 25.4L * ScreenPixelsPerInch();
    case kpMillimeters:
        return k / 100;
    case kpCentimeters:
        return k / 1000;
    case kpInches:
        return k / 100 / 25.4L;
    default:
        return k;
    }
}

void TKpValue::SetPixels(int ppi, int pixels) {
    if (ppi < 1)
        throw std::invalid_argument("SetPixels: a resolution of " + std::to_string(ppi) +
                                    " pixels per inch is below 1");
    // The product is an integer product, the division floating.
    const int64_t product = static_cast<int64_t>(pixels) * 2540;
    value = static_cast<int32_t>(kp::Round(static_cast<Extended>(product) / ppi));
    changed();
}

void TKpValue::SetMillimeters(Extended mm) {
    value = static_cast<int32_t>(kp::Round(mm * 100));
    changed();
}

void TKpValue::SetInches(Extended inches) {
    value = static_cast<int32_t>(kp::Round(inches * 100 * 25.4L));
    changed();
}

int TKpValue::AsPixels(int ppi) const {
    return static_cast<int>(kp::Round(static_cast<Extended>(value) / 2540 * ppi));
}

TKpValueRect::TKpValueRect()
    : left_(std::make_unique<TKpValue>()), top_(std::make_unique<TKpValue>()),
      right_(std::make_unique<TKpValue>()), bottom_(std::make_unique<TKpValue>()) {}

void PaperDimensions(TKpPaperSize size, bool landscape, int& width, int& height) {
    static const int table[8][2] = {{29700, 42000}, {21000, 29700}, {14850, 21000}, {10500, 14850},
                                    {17600, 25000}, {16300, 22900}, {21590, 35560}, {21590, 27940}};
    int a = width, b = height;
    if (size <= Letter) {
        a = table[size][0];
        b = table[size][1];
    }
    const int shortSide = MinInt(a, b), longSide = MaxInt(a, b);
    width = landscape ? longSide : shortSide;
    height = landscape ? shortSide : longSide;
}

char* NextToken(char*& cursor) {
    if (!cursor) return nullptr;
    while (*cursor == ' ')
        ++cursor;
    char* token = cursor;
    while (*cursor && *cursor != ',')
        ++cursor;
    if (*cursor == ',') {
        *cursor = '\0';
        ++cursor;
    }
    return token;
}

} // namespace kp
