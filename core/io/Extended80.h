#pragma once

#include <array>
#include <cstdint>

// The 10-byte extended-precision floating-point form of stored amounts and dates: a 64-bit
// significand with an explicit integer bit, then 15 bits of exponent biased by 16383 and the
// sign bit, little-endian. Written from exact 64-bit doubles; read back rounded to the nearest
// double (ties to even). Encodings without the integer bit (unnormals, pseudo-denormals) are
// taken at their value; values too small for a double become zero of the same sign, values too
// large become infinity.
class TExtended80 {
public:
    using TBytes = std::array<std::uint8_t, 10>;

    static TBytes FromDouble(double value);
    static double ToDouble(const TBytes& bytes);
};
