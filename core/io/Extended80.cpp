#include "core/io/Extended80.h"

#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr int ExtendedBias = 16383;
constexpr int DoubleBias = 1023;
constexpr std::uint64_t IntegerBit = std::uint64_t{1} << 63;

std::uint64_t DoubleBits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

double BitsDouble(std::uint64_t bits) {
    return std::bit_cast<double>(bits);
}

// Shifts right by `shift` bits rounding to nearest, ties to even.
std::uint64_t ShiftRightRounded(std::uint64_t value, int shift) {
    if (shift <= 0)
        return value;
    if (shift > 64)
        return 0;
    if (shift == 64) {
        // value / 2^64 lies in [0, 1): it rounds up only when above one half.
        return value > IntegerBit ? 1 : 0;
    }
    const std::uint64_t kept = value >> shift;
    const std::uint64_t rest = value & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0))
        return kept + 1;
    return kept;
}

} // namespace

TExtended80::TBytes TExtended80::FromDouble(double value) {
    const std::uint64_t bits = DoubleBits(value);
    const bool negative = (bits >> 63) != 0;
    const int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

    std::uint64_t significand = 0;
    int exponent = 0; // biased extended exponent
    if (exponentField == 0x7FF) {
        exponent = 0x7FFF;
        significand = IntegerBit | (fraction << 11);
        if (fraction != 0)
            significand |= std::uint64_t{1} << 62; // quiet NaN
    } else if (exponentField == 0) {
        if (fraction != 0) {
            // Subnormal double: normalise, the extended form has room for it.
            const int lead = std::countl_zero(fraction);
            significand = fraction << lead;
            exponent = 1 - DoubleBias - (lead - 11) + ExtendedBias;
        }
    } else {
        significand = IntegerBit | (fraction << 11);
        exponent = exponentField - DoubleBias + ExtendedBias;
    }

    TBytes out{};
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    const std::uint16_t top = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    out[8] = static_cast<std::uint8_t>(top);
    out[9] = static_cast<std::uint8_t>(top >> 8);
    return out;
}

double TExtended80::ToDouble(const TBytes& bytes) {
    std::uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    const std::uint16_t top = static_cast<std::uint16_t>(bytes[8] | (bytes[9] << 8));
    const bool negative = (top & 0x8000) != 0;
    const int exponentField = top & 0x7FFF;
    const std::uint64_t sign = negative ? (std::uint64_t{1} << 63) : 0;

    if (exponentField == 0x7FFF) {
        const std::uint64_t payload = significand & ~IntegerBit;
        if (payload == 0)
            return BitsDouble(sign | (std::uint64_t{0x7FF} << 52));
        return negative ? -std::numeric_limits<double>::quiet_NaN()
                        : std::numeric_limits<double>::quiet_NaN();
    }
    if (significand == 0)
        return BitsDouble(sign);

    // Value = significand * 2^(exponent - bias - 63); a zero exponent field means 2^(1 - bias).
    int unbiased = (exponentField == 0 ? 1 : exponentField) - ExtendedBias;
    const int lead = std::countl_zero(significand);
    significand <<= lead;
    unbiased -= lead;

    if (unbiased > DoubleBias)
        return BitsDouble(sign | (std::uint64_t{0x7FF} << 52));

    if (unbiased >= 1 - DoubleBias) {
        std::uint64_t mantissa = ShiftRightRounded(significand, 11);
        if (mantissa == (std::uint64_t{1} << 53)) {
            mantissa >>= 1;
            ++unbiased;
            if (unbiased > DoubleBias)
                return BitsDouble(sign | (std::uint64_t{0x7FF} << 52));
        }
        const std::uint64_t field = static_cast<std::uint64_t>(unbiased + DoubleBias);
        return BitsDouble(sign | (field << 52) | (mantissa & ((std::uint64_t{1} << 52) - 1)));
    }

    // Subnormal double (or zero): the significand loses the extra exponent range in the shift.
    // A carry into bit 52 lands exactly on the smallest normal number.
    const int shift = 11 + (1 - DoubleBias - unbiased);
    const std::uint64_t mantissa = ShiftRightRounded(significand, shift);
    return BitsDouble(sign | mantissa);
}
