#include "core/io/Real48.h"

#include "core/common/Exceptions.h"

#include <bit>
#include <cmath>

double TReal48::ToDouble(const TBytes& bytes) {
    if (bytes[0] == 0)
        return 0.0;
    std::uint64_t fraction = 0;
    for (int i = 5; i >= 1; --i)
        fraction = (fraction << 8) | bytes[i];
    const bool negative = (fraction & (std::uint64_t{1} << 39)) != 0;
    fraction &= (std::uint64_t{1} << 39) - 1;
    const int exponent = bytes[0] - 129;
    // The result is exact in a double: 40 significant bits, exponent -128..126.
    const std::uint64_t bits = (negative ? std::uint64_t{1} << 63 : 0) |
                               (static_cast<std::uint64_t>(exponent + 1023) << 52) | (fraction << 13);
    return std::bit_cast<double>(bits);
}

TReal48::TBytes TReal48::FromDouble(double value) {
    TBytes out{};
    if (!std::isfinite(value))
        throw EQuilvaneError(QStringLiteral("%1 cannot be stored as a 6-byte real").arg(value));
    if (value == 0.0)
        return out;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    int exponentField = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponentField == 0)
        return out; // subnormal doubles lie far below the smallest 6-byte real

    // Round 52 fraction bits to 39, ties to even.
    std::uint64_t kept = fraction >> 13;
    const std::uint64_t rest = fraction & ((std::uint64_t{1} << 13) - 1);
    const std::uint64_t half = std::uint64_t{1} << 12;
    if (rest > half || (rest == half && (kept & 1) != 0))
        ++kept;
    if (kept == (std::uint64_t{1} << 39)) {
        kept = 0;
        ++exponentField;
    }
    const int exponent = exponentField - 1023 + 129;
    if (exponent <= 0)
        return out;
    if (exponent > 255)
        throw EQuilvaneError(QStringLiteral("%1 is too large for a 6-byte real").arg(value));
    out[0] = static_cast<std::uint8_t>(exponent);
    const std::uint64_t stored = kept | (negative ? std::uint64_t{1} << 39 : 0);
    for (int i = 1; i <= 5; ++i)
        out[i] = static_cast<std::uint8_t>(stored >> (8 * (i - 1)));
    return out;
}
