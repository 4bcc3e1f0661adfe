#include "drawing/KpExtended.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace kp {

namespace {

constexpr int kBias = 16383;
constexpr uint16_t kMaxExponent = 0x7FFF;

int BitLength(unsigned __int128 v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

} // namespace

uint64_t TKpExt80::Mantissa() const {
    uint64_t m = 0;
    for (int i = 7; i >= 0; --i)
        m = (m << 8) | Bytes[i];
    return m;
}

uint16_t TKpExt80::SignExponent() const {
    return static_cast<uint16_t>(Bytes[8] | (Bytes[9] << 8));
}

TKpExt80 TKpExt80::FromParts(uint64_t mantissa, uint16_t signExponent) {
    TKpExt80 e;
    for (int i = 0; i < 8; ++i)
        e.Bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    e.Bytes[8] = static_cast<uint8_t>(signExponent);
    e.Bytes[9] = static_cast<uint8_t>(signExponent >> 8);
    return e;
}

TKpExt80 ExtendedToExt80(Extended v) {
    const uint16_t sign = std::signbit(v) ? 0x8000 : 0;
    if (std::isnan(v)) return TKpExt80::FromParts(0xC000000000000000ull, sign | kMaxExponent);
    if (std::isinf(v)) return TKpExt80::FromParts(0x8000000000000000ull, sign | kMaxExponent);
    const Extended a = std::fabs(v);
    if (a == 0) return TKpExt80::FromParts(0, sign);
    int e = 0;
    const Extended m = std::frexp(a, &e); // a = m * 2^e, m in [0.5, 1)
    int biased = e - 1 + kBias;
    if (biased >= kMaxExponent)
        return TKpExt80::FromParts(0x8000000000000000ull, sign | kMaxExponent);
    if (biased <= 0) {
        // Denormal: the value is mantissa * 2^(1 - bias - 63).
        const Extended scaled = std::ldexp(a, kBias - 1 + 63);
        return TKpExt80::FromParts(static_cast<uint64_t>(std::nearbyint(scaled)), sign);
    }
    // m * 2^64 is an integer whenever Extended has at most 64 mantissa bits.
    Extended scaled = std::nearbyint(std::ldexp(m, 64));
    if (scaled >= std::ldexp(Extended(1), 64)) {
        scaled = std::ldexp(scaled, -1);
        ++biased;
    }
    return TKpExt80::FromParts(static_cast<uint64_t>(scaled), static_cast<uint16_t>(sign | biased));
}

Extended Ext80ToExtended(const TKpExt80& x) {
    const uint64_t mantissa = x.Mantissa();
    const uint16_t se = x.SignExponent();
    const bool negative = se & 0x8000;
    const int exponent = se & kMaxExponent;
    Extended v;
    if (exponent == kMaxExponent) {
        v = (mantissa << 1) == 0 ? INFINITY : NAN;
    } else if (exponent == 0) {
        v = std::ldexp(static_cast<Extended>(mantissa), 1 - kBias - 63);
    } else {
        v = std::ldexp(static_cast<Extended>(mantissa), exponent - kBias - 63);
    }
    return negative ? -v : v;
}

TKpExt80 Ext80FromDecimal(std::string_view text) {
    bool negative = false;
    size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned __int128 digits = 0;
    int decimals = 0, count = 0;
    bool seenPoint = false, seenDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < '0' || c > '9') throw std::invalid_argument("not a decimal: " + std::string(text));
        seenDigit = true;
        if (digits != 0 || c != '0') ++count;
        digits = digits * 10 + static_cast<unsigned>(c - '0');
        if (seenPoint) ++decimals;
        if (count > 19 || decimals > 18)
            throw std::invalid_argument("decimal too long: " + std::string(text));
    }
    if (!seenDigit) throw std::invalid_argument("not a decimal: " + std::string(text));
    const uint16_t sign = negative ? 0x8000 : 0;
    if (digits == 0) return TKpExt80::FromParts(0, sign);

    unsigned __int128 power = 1;
    for (int k = 0; k < decimals; ++k)
        power *= 10;
    // Find s with 2^63 <= digits * 2^s / power < 2^64, then round the quotient.
    int s = 64 + BitLength(power) - BitLength(digits) - 1;
    unsigned __int128 q = 0, r = 0, den = 0;
    for (;;) {
        const unsigned __int128 num = s >= 0 ? digits << s : digits;
        den = s >= 0 ? power : power << (-s);
        q = num / den;
        r = num % den;
        if (q >= (static_cast<unsigned __int128>(1) << 64))
            --s;
        else if (q < (static_cast<unsigned __int128>(1) << 63))
            ++s;
        else
            break;
    }
    const unsigned __int128 twice = r * 2;
    if (twice > den || (twice == den && (q & 1))) ++q;
    if (q == (static_cast<unsigned __int128>(1) << 64)) {
        q >>= 1;
        --s;
    }
    const int biased = 63 - s + kBias;
    return TKpExt80::FromParts(static_cast<uint64_t>(q), static_cast<uint16_t>(sign | biased));
}

Extended ExtendedFromDecimal(std::string_view text) {
    return Ext80ToExtended(Ext80FromDecimal(text));
}

} // namespace kp
