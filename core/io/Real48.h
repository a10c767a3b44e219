#pragma once

#include <array>
#include <cstdint>

// The 6-byte real of the older fixed-record files: byte 0 the exponent biased by 129 (0 means
// zero), then 39 bits of fraction little-endian with the sign in the top bit of byte 5. The
// value is (-1)^sign * 2^(exponent - 129) * (1 + fraction / 2^39).
class TReal48 {
public:
    using TBytes = std::array<std::uint8_t, 6>;

    static double ToDouble(const TBytes& bytes);
    // Rounds to the nearest Real48 (ties to even, whatever the floating-point rounding mode);
    // values too small, negative zero and subnormals become zero. Values too large for the form
    // (about 1.7e38), infinities and NaN raise EQuilvaneError naming the value.
    static TBytes FromDouble(double value);
};
