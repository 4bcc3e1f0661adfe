#pragma once
// The 80-bit extended float as documents store it: a 64-bit mantissa with an explicit
// integer bit, then a 16-bit word holding the sign and the 15-bit biased exponent, all
// little-endian. Encoding and decoding are done bit by bit, so they do not depend on the
// compiler's own long double layout.
#include "paginor/KpExport.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/KpMath.h"

namespace kp {

struct PAGINOR_EXPORT TKpExt80 {
    std::array<uint8_t, 10> Bytes{};

    uint64_t Mantissa() const;
    uint16_t SignExponent() const;
    static TKpExt80 FromParts(uint64_t mantissa, uint16_t signExponent);

    bool operator==(const TKpExt80&) const = default;
};

// The nearest 80-bit value to v (exact where Extended has no more than 64 mantissa bits).
PAGINOR_EXPORT TKpExt80 ExtendedToExt80(Extended v);
// The value of the 80-bit bytes, as near as Extended can hold it.
PAGINOR_EXPORT Extended Ext80ToExtended(const TKpExt80& e);
// The 80-bit value nearest to a short decimal such as "2.01" or "-30.5", ties to even,
// computed with integers so that it is the same on every platform. At most 19 significant
// digits and 18 decimals; throws std::invalid_argument otherwise.
PAGINOR_EXPORT TKpExt80 Ext80FromDecimal(std::string_view text);
// The same, as an Extended (for comparisons with values read from files).
PAGINOR_EXPORT Extended ExtendedFromDecimal(std::string_view text);

} // namespace kp
