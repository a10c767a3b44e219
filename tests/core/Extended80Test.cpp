#include "core/io/Extended80.h"
#include "core/io/Real48.h"
#include "core/common/Exceptions.h"

#include <QByteArray>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace {

template <std::size_t N> std::array<std::uint8_t, N> Bytes(const char* hex) {
    const QByteArray raw = QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
    std::array<std::uint8_t, N> out{};
    EXPECT_EQ(static_cast<std::size_t>(raw.size()), N);
    std::memcpy(out.data(), raw.constData(), std::min<std::size_t>(N, static_cast<std::size_t>(raw.size())));
    return out;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(Extended80, GoldenBytes) {
    EXPECT_EQ(TExtended80::FromDouble(1.0), Bytes<10>("00 00 00 00 00 00 00 80 FF 3F"));
    EXPECT_EQ(TExtended80::FromDouble(2.0), Bytes<10>("00 00 00 00 00 00 00 80 00 40"));
    EXPECT_EQ(TExtended80::FromDouble(-0.5), Bytes<10>("00 00 00 00 00 00 00 80 FE BF"));
    EXPECT_EQ(TExtended80::FromDouble(0.0), Bytes<10>("00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(TExtended80::FromDouble(std::numeric_limits<double>::infinity()),
              Bytes<10>("00 00 00 00 00 00 00 80 FF 7F"));
}

TEST(Extended80, DoublesSurviveTheRoundTripBitForBit) {
    const double values[] = {0.0,
                             -0.0,
                             0.01,
                             693594.75,
                             1e300,
                             -1e-300,
                             1.0 / 3,
                             123456789.123,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::denorm_min(),
                             -4.9e-320,
                             std::numeric_limits<double>::min()};
    for (const double v : values)
        EXPECT_TRUE(SameBits(TExtended80::ToDouble(TExtended80::FromDouble(v)), v)) << v;
    EXPECT_TRUE(std::isnan(TExtended80::ToDouble(TExtended80::FromDouble(std::nan("")))));
}

TEST(Extended80, ReadingRoundsToNearestEven) {
    // 1 + 2^-53 exactly half way between two doubles: ties to the even one, 1.
    EXPECT_EQ(TExtended80::ToDouble(Bytes<10>("00 04 00 00 00 00 00 80 FF 3F")), 1.0);
    // 1 + 3 * 2^-53: half way again, the even neighbour is 1 + 2^-51.
    EXPECT_EQ(TExtended80::ToDouble(Bytes<10>("00 0C 00 00 00 00 00 80 FF 3F")), 1.0 + std::ldexp(1.0, -51));
    // Just above half way rounds up.
    EXPECT_EQ(TExtended80::ToDouble(Bytes<10>("01 04 00 00 00 00 00 80 FF 3F")), 1.0 + std::ldexp(1.0, -52));
}

TEST(Extended80, OddEncodingsAreTakenAtTheirValue) {
    // Unnormal: exponent of 1.0 without the integer bit, significand 0.5.
    EXPECT_EQ(TExtended80::ToDouble(Bytes<10>("00 00 00 00 00 00 00 40 FF 3F")), 0.5);
    // Extended denormals lie far below the smallest double.
    EXPECT_EQ(TExtended80::ToDouble(Bytes<10>("00 00 00 00 00 00 00 80 00 00")), 0.0);
    EXPECT_TRUE(std::signbit(TExtended80::ToDouble(Bytes<10>("01 00 00 00 00 00 00 00 00 80"))));
    // Too large for a double.
    EXPECT_TRUE(std::isinf(TExtended80::ToDouble(Bytes<10>("00 00 00 00 00 00 00 80 FE 7F"))));
    EXPECT_TRUE(std::isnan(TExtended80::ToDouble(Bytes<10>("00 00 00 00 00 00 00 C0 FF FF"))));
}

TEST(Real48, GoldenBytesAndRoundTrips) {
    EXPECT_EQ(TReal48::FromDouble(1.0), Bytes<6>("81 00 00 00 00 00"));
    EXPECT_EQ(TReal48::FromDouble(-2.5), Bytes<6>("82 00 00 00 00 A0"));
    EXPECT_EQ(TReal48::FromDouble(0.0), Bytes<6>("00 00 00 00 00 00"));
    EXPECT_EQ(TReal48::ToDouble(Bytes<6>("82 00 00 00 00 A0")), -2.5);
    EXPECT_EQ(TReal48::ToDouble(Bytes<6>("00 12 34 56 78 9A")), 0.0);
    for (const double v : {100.25, -123456.78, 0.01, 1e20})
        EXPECT_NEAR(TReal48::ToDouble(TReal48::FromDouble(v)), v, std::fabs(v) * 1e-11) << v;
    EXPECT_EQ(TReal48::ToDouble(TReal48::FromDouble(-1234567.5)), -1234567.5);
    EXPECT_THROW(TReal48::FromDouble(1e39), EQuilvaneError);
    EXPECT_THROW(TReal48::FromDouble(std::numeric_limits<double>::infinity()), EQuilvaneError);
}
