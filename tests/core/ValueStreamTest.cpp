#include "core/common/Exceptions.h"
#include "core/io/Extended80.h"
#include "core/io/Real48.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/io/Win1252Codec.h"
#include "tests/support/FileBytes.h"

#include <QBuffer>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

QByteArray Written(const std::function<void(TValueWriter&)>& body, int bufferSize = 8192) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    TValueWriter writer(device, bufferSize);
    body(writer);
    writer.Finish();
    return bytes;
}

// Runs the reads over the bytes, read in pieces of the buffer size; the stream must then be at
// its end when asked.
void ReadAll(QByteArray bytes, const std::function<void(TValueReader&)>& reads, bool toEnd = true,
             int bufferSize = 8192) {
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TValueReader reader(device, bufferSize);
    reads(reader);
    EXPECT_TRUE(!toEnd || reader.AtEnd());
}

template <std::size_t N> std::array<std::uint8_t, N> Bytes(const char* hex) {
    std::array<std::uint8_t, N> out{};
    const QByteArray raw = Hex(hex);
    std::copy_n(raw.constData(), std::min<qsizetype>(N, raw.size()), out.begin());
    return out;
}

constexpr double Inf = std::numeric_limits<double>::infinity();

// A value of the case file: "c*N" is the character c N times.
QString CaseText(const QString& field) {
    return field.indexOf('*') == 1 ? QString(field.mid(2).toInt(), field[0]) : field;
}

// Bytes of the case file in hex: "hh*N" is the byte hh N times.
QByteArray CaseBytes(const QString& field) {
    QByteArray bytes;
    for (const QString& token : field.split(' ', Qt::SkipEmptyParts)) {
        const QByteArray byte = QByteArray::fromHex(token.section('*', 0, 0).toLatin1());
        bytes += token.contains('*') ? byte.repeated(token.section('*', 1).toInt()) : byte;
    }
    return bytes;
}

} // namespace

// Every case of the golden file: written, the value gives its bytes; read, the bytes give the
// value back, or the failure named.
TEST(ValueStream, CasesOfTheGoldenFile) {
    for (const QString& line : QString::fromUtf8(TestData("values/cases.txt")).split('\n')) {
        const QStringList field = line.split('|'); // kind, written, read back, bytes
        if (line.startsWith('#') || field.size() != 4)
            continue;
        SCOPED_TRACE(line.toStdString());
        const QString& kind = field[0];
        QByteArray bytes = CaseBytes(field[3]);
        std::uint16_t members = 0;
        for (const QString& member : field[1].split(',', Qt::SkipEmptyParts))
            members |= kind == "set" ? std::uint16_t(1u << member.toInt()) : 0;
        if (field[1] != "-" && field[1] != "!") {
            EXPECT_EQ(Written([&](TValueWriter& w) {
                          kind == "int"      ? w.WriteInteger(field[1].toInt())
                          : kind == "string" ? w.WriteString(CaseText(field[1]))
                          : kind == "ident"  ? w.WriteIdent(CaseText(field[1]))
                          : kind == "float"  ? w.WriteFloat(field[1].toDouble())
                          : kind == "bool"   ? w.WriteBoolean(field[1] == "1")
                                             : w.WriteIntegerSet(members);
                      }),
                      bytes);
            EXPECT_TRUE(kind == "int"      ? WriterIntegerSize(field[1].toInt()) == bytes.size()
                        : kind == "string" ? WriterStringSize(int(CaseText(field[1]).size())) == bytes.size()
                                           : true);
        }
        const auto read = [&](TValueReader& r) -> QString {
            if (kind == "int")
                return QString::number(r.ReadInteger());
            if (kind == "string" || kind == "ident")
                return kind == "string" ? r.ReadString() : r.ReadIdent();
            if (kind == "float" || kind == "finite")
                return QString::number(kind == "float" ? r.ReadFloat() : r.ReadFiniteFloat(), 'g', 17);
            if (kind == "bool")
                return QString::number(r.ReadBoolean());
            QStringList set;
            for (std::uint16_t got = r.ReadIntegerSet(), member = 0; member < 16; ++member)
                if (got & (1u << member))
                    set << QString::number(member);
            return set.join(',');
        };
        ReadAll(
            bytes,
            [&](TValueReader& r) {
                try {
                    EXPECT_EQ(read(r), CaseText(field[2]));
                    EXPECT_NE(field[1], "!") << "no error";
                } catch (const EStreamError& e) {
                    EXPECT_EQ("!" + e.message(), field[1] + field[2]);
                }
            },
            field[1] != "!");
    }
}

// Lists nest; a failed read skips nothing, the offending value is still next. An absent code
// part (65535) is written as -1 and read back into its 16-bit field.
TEST(ValueStream, ListsNestFailuresSkipNothingAndAnUnfinishedBufferIsDropped) {
    ReadAll(Hex("01 00 01 01 02 07 00 00 02 FF 06 01 41"), [](TValueReader& r) {
        r.ReadListBegin();
        EXPECT_TRUE(r.EndOfList());
        r.ReadListEnd();
        r.ReadListBegin();
        r.ReadListBegin();
        EXPECT_FALSE(r.EndOfList());
        EXPECT_THROW(r.ReadListEnd(), EStreamError);
        EXPECT_EQ(r.ReadInteger(), 7);
        r.ReadListEnd();
        r.ReadListEnd();
        EXPECT_EQ(std::uint16_t(r.ReadInteger()), 65535);
        EXPECT_THROW(r.ReadInteger(), EStreamError);
        EXPECT_EQ(r.ReadString(), "A");
    });
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteListBegin(), w.WriteListEnd(); }), Hex("01 00"));
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    TValueWriter writer(readOnly, 8192);
    writer.WriteString("lost");
    EXPECT_THROW(writer.Finish(), EStreamError);
    TValueWriter tiny(readOnly, 4);
    EXPECT_THROW(tiny.WriteString("more than four bytes"), EStreamError);
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    TValueWriter(device, 4).WriteInteger(1000000); // five bytes: four leave with the full buffer
    EXPECT_EQ(bytes, Hex("04 40 42 0F"));
}

// Values cut across the writer's and the reader's buffers come out the same.
TEST(ValueStream, BufferBoundariesDoNotChangeTheBytes) {
    const auto text = [](int i) { return QString(i % 300, QLatin1Char('a' + i % 26)); };
    const auto body = [&](TValueWriter& w) {
        for (int i = 0; i < 1500; ++i)
            w.WriteInteger(i * 37 - 20000), w.WriteString(text(i)), w.WriteFloat(i * 0.01);
    };
    const QByteArray big = Written(body, 1 << 24);
    ASSERT_GT(big.size(), 8192);
    EXPECT_EQ(Written(body, 7), big);
    ReadAll(
        big,
        [&](TValueReader& r) {
            for (int i = 0; i < 1500; ++i) {
                ASSERT_EQ(r.ReadInteger(), i * 37 - 20000);
                ASSERT_EQ(r.ReadString(), text(i));
                ASSERT_EQ(r.ReadFloat(), i * 0.01);
            }
        },
        true, 3);
}

TEST(Win1252Codec, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = TWin1252Codec::Decode(all);
    EXPECT_EQ(text.mid(0x80, 2) + text[0x9F], QString::fromUtf8("€\u0081\u0178"));
    EXPECT_EQ(TWin1252Codec::Encode(text), all);
}

// Read back, a double is bit for bit what was written.
TEST(Extended80, DoublesSurviveTheRoundTrip) {
    // clang-format off
    const double values[] = {-0.0, 0.01, 693594.75, 1e300, -1e-300, 1.0 / 3, -4.9e-320, std::nan(""),
                             std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min()};
    // clang-format on
    for (const double v : values) {
        const double back = TExtended80::ToDouble(TExtended80::FromDouble(v));
        EXPECT_TRUE(std::memcmp(&back, &v, sizeof v) == 0 || (std::isnan(v) && std::isnan(back))) << v;
    }
    EXPECT_TRUE(std::signbit(TExtended80::ToDouble(Bytes<10>("0100000000000000 0080"))));
}

TEST(Real48, GoldenBytesBothWays) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "00 00 00 00 00 00"},
        {-0.0, "00 00 00 00 00 00"},
        {1.0, "81 00 00 00 00 00"},
        {-1.0, "81 00 00 00 00 80"},
        {-1234.56, "8b 1f 85 eb 51 9a"},
        {0.01, "7a 71 3d 0a d7 23"},
        // Ties round to even on the 39th fraction bit; a carry out of the fraction raises the exponent.
        {1.0 + std::ldexp(1.0, -40), "81 00 00 00 00 00"},
        {1.0 + std::ldexp(3.0, -40), "81 02 00 00 00 00"},
        {1.0 + std::ldexp(1.0, -40) + std::ldexp(1.0, -52), "81 01 00 00 00 00"},
        {2.0 - std::ldexp(1.0, -40), "82 00 00 00 00 00"},
        {2.0 - std::ldexp(1.0, -41), "82 00 00 00 00 00"},
        {std::ldexp(2.0 - std::ldexp(1.0, -39), 126), "ff ff ff ff ff 7f"}, // the largest
        {std::ldexp(1.0, -128), "01 00 00 00 00 00"},                       // the smallest
        {std::ldexp(1.0, -129), "00 00 00 00 00 00"},
        {-std::numeric_limits<double>::denorm_min(), "00 00 00 00 00 00"}};
    for (const auto& [value, hex] : cases) {
        EXPECT_EQ(TReal48::FromDouble(value), Bytes<6>(hex)) << hex;
        EXPECT_NEAR(TReal48::ToDouble(Bytes<6>(hex)), value, std::fabs(value) * 1e-11 + std::ldexp(1.0, -128))
            << hex;
    }
    EXPECT_EQ(TReal48::ToDouble(Bytes<6>("00 12 34 56 78 9A")), 0.0);
    EXPECT_EQ(TReal48::ToDouble(Bytes<6>("82 00 00 00 00 c0")), -3.0); // the sign is no mantissa bit
    EXPECT_EQ(TReal48::ToDouble(TReal48::FromDouble(-1234567.5)), -1234567.5);
    for (const double v : {1.8e38, -1.8e38, 1e39, Inf, -Inf, std::nan("")})
        EXPECT_THROW(TReal48::FromDouble(v), EQuilvaneError) << v;
}
