#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "tests/support/FileBytes.h"

#include <QBuffer>
#include <functional>
#include <gtest/gtest.h>

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

struct TReaderOver {
    explicit TReaderOver(const QByteArray& bytes, int bufferSize = 8192) : Data(bytes), Device(&Data) {
        Device.open(QIODevice::ReadOnly);
        Reader = std::make_unique<TValueReader>(Device, bufferSize);
    }
    TValueReader& operator*() { return *Reader; }
    TValueReader* operator->() { return Reader.get(); }
    QByteArray Data;
    QBuffer Device;
    std::unique_ptr<TValueReader> Reader;
};

template <typename F> QString StreamErrorOf(F&& read) {
    try {
        read();
    } catch (const EStreamError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(ValueStream, IntegersTakeTheSmallestFormAndSignExtend) {
    struct TCase {
        std::int32_t Value;
        const char* Bytes;
    };
    const TCase cases[] = {
        {0, "02 00"},
        {-1, "02 FF"},
        {-128, "02 80"},
        {127, "02 7F"},
        {-129, "03 7F FF"},
        {128, "03 80 00"},
        {300, "03 2C 01"},
        {-32768, "03 00 80"},
        {32767, "03 FF 7F"},
        {-32769, "04 FF 7F FF FF"},
        {32768, "04 00 80 00 00"},
        {2147483647, "04 FF FF FF 7F"},
        {-2147483647 - 1, "04 00 00 00 80"},
    };
    for (const TCase& c : cases) {
        const QByteArray expected = Hex(c.Bytes);
        EXPECT_EQ(Written([&](TValueWriter& w) { w.WriteInteger(c.Value); }), expected) << c.Value;
        EXPECT_EQ(WriterIntegerSize(c.Value), expected.size()) << c.Value;
        TReaderOver reader(expected);
        EXPECT_EQ(reader->ReadInteger(), c.Value);
        EXPECT_TRUE(reader->AtEnd());
    }
}

TEST(ValueStream, AbsentCodePartIsStoredAsMinusOneAndReadBackAs65535) {
    const std::uint16_t absent = 65535;
    const QByteArray bytes =
        Written([&](TValueWriter& w) { w.WriteInteger(static_cast<std::int16_t>(absent)); });
    EXPECT_EQ(bytes, Hex("02 FF"));
    TReaderOver reader(bytes);
    EXPECT_EQ(static_cast<std::uint16_t>(reader->ReadInteger()), absent);
}

TEST(ValueStream, StringsSwitchToTheLongFormAt256Characters) {
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteString(QString()); }), Hex("06 00"));
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteString(QStringLiteral("AB")); }), Hex("06 02 41 42"));
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteString(QString(QChar(0x00B7))); }), Hex("06 01 B7"));

    const QString s255(255, QLatin1Char('x'));
    const QString s256(256, QLatin1Char('y'));
    const QByteArray b255 = Written([&](TValueWriter& w) { w.WriteString(s255); });
    const QByteArray b256 = Written([&](TValueWriter& w) { w.WriteString(s256); });
    EXPECT_EQ(b255.left(2), Hex("06 FF"));
    EXPECT_EQ(b255.size(), 257);
    EXPECT_EQ(WriterStringSize(255), 257);
    EXPECT_EQ(b256.left(5), Hex("0C 00 01 00 00"));
    EXPECT_EQ(b256.size(), 261);
    EXPECT_EQ(WriterStringSize(256), 261);

    TReaderOver reader(b255 + b256 + Hex("06 00"));
    EXPECT_EQ(reader->ReadString(), s255);
    EXPECT_EQ(reader->ReadString(), s256);
    EXPECT_EQ(reader->ReadString(), QString());
}

TEST(ValueStream, IdentifiersWithTheirOwnTags) {
    EXPECT_EQ(Written([](TValueWriter& w) {
                  w.WriteIdent(QStringLiteral("true"));
                  w.WriteIdent(QStringLiteral("FALSE"));
                  w.WriteIdent(QStringLiteral("null"));
                  w.WriteIdent(QStringLiteral("NIL"));
                  w.WriteIdent(QStringLiteral("V5.0"));
              }),
              Hex("09 08 00 0D 07 04 56 35 2E 30"));
    TReaderOver reader(Hex("09 08 00 0D 07 04 56 35 2E 30"));
    EXPECT_EQ(reader->ReadIdent(), QStringLiteral("True"));
    EXPECT_EQ(reader->ReadIdent(), QStringLiteral("False"));
    EXPECT_EQ(reader->ReadIdent(), QStringLiteral("Null"));
    EXPECT_EQ(reader->ReadIdent(), QStringLiteral("nil"));
    EXPECT_EQ(reader->ReadIdent(), QStringLiteral("V5.0"));

    const QByteArray longIdent =
        Written([](TValueWriter& w) { w.WriteIdent(QString(300, QLatin1Char('k'))); });
    EXPECT_EQ(longIdent.size(), 257);
    EXPECT_EQ(longIdent.left(2), Hex("07 FF"));
}

TEST(ValueStream, FloatsAreTenByteExtendedNumbers) {
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteFloat(1.0); }), Hex("05 00 00 00 00 00 00 00 80 FF 3F"));
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteFloat(693594.75); }),
              Hex("05 00 00 00 00 00 AC 55 A9 12 40"));
    EXPECT_EQ(Written([](TValueWriter& w) { w.WriteFloat(-0.0); }), Hex("05 00 00 00 00 00 00 00 00 00 80"));

    TReaderOver reader(Hex("05 00 00 00 00 00 AC 55 A9 12 40 02 F6 03 2C 01 04 00 80 00 00"));
    EXPECT_EQ(reader->ReadFloat(), 693594.75);
    EXPECT_EQ(reader->ReadFloat(), -10.0);
    EXPECT_EQ(reader->ReadFloat(), 300.0);
    EXPECT_EQ(reader->ReadFloat(), 32768.0);
}

TEST(ValueStream, BooleansListsAndSets) {
    EXPECT_EQ(Written([](TValueWriter& w) {
                  w.WriteBoolean(true);
                  w.WriteBoolean(false);
                  w.WriteListBegin();
                  w.WriteListEnd();
                  w.WriteIntegerSet(static_cast<std::uint16_t>((1u << 0) | (1u << 3) | (1u << 15)));
              }),
              Hex("09 08 01 00 01 02 00 02 03 00"));

    TReaderOver reader(Hex("09 08 01 00 01 01 02 07 00 00 01 02 00 02 0F 02 10 02 FF 00"));
    EXPECT_TRUE(reader->ReadBoolean());
    EXPECT_FALSE(reader->ReadBoolean());
    reader->ReadListBegin();
    EXPECT_TRUE(reader->EndOfList());
    reader->ReadListEnd();
    reader->ReadListBegin(); // nested list
    reader->ReadListBegin();
    EXPECT_FALSE(reader->EndOfList());
    EXPECT_EQ(reader->ReadInteger(), 7);
    reader->ReadListEnd();
    reader->ReadListEnd();
    EXPECT_EQ(reader->ReadIntegerSet(), (1u << 0) | (1u << 15)); // 16 and -1 ignored
    EXPECT_TRUE(reader->AtEnd());
}

TEST(ValueStream, WrongKindsAreInvalidPropertyValues) {
    const QString invalid = QStringLiteral("Invalid property value");
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("02 05"));
                  r->ReadString();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("06 00"));
                  r->ReadBoolean();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("02 00"));
                  r->ReadBoolean();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("0A 01 00 00 00 41"));
                  r->ReadInteger();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("13"));
                  r->ReadIdent();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("06 00"));
                  r->ReadFloat();
              }),
              invalid);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("02 00"));
                  r->ReadListBegin();
              }),
              invalid);

    // Nothing is skipped: after the failure the offending value is still next.
    TReaderOver reader(Hex("06 01 41"));
    EXPECT_THROW(reader->ReadInteger(), EStreamError);
    EXPECT_EQ(reader->ReadString(), QStringLiteral("A"));
}

TEST(ValueStream, ShortStreamsAndOversizedLengthsAreReadErrors) {
    const QString readError = QStringLiteral("Stream read error");
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r{QByteArray()};
                  r->ReadInteger();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("03 01"));
                  r->ReadInteger();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("06 05 41 42"));
                  r->ReadString();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("05 00 00 00 00"));
                  r->ReadFloat();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("0C FF FF FF FF 41"));
                  r->ReadString();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("0C 00 01"));
                  r->ReadString();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r(Hex("07 09 41"));
                  r->ReadIdent();
              }),
              readError);
    EXPECT_EQ(StreamErrorOf([] {
                  TReaderOver r{QByteArray()};
                  r->EndOfList();
              }),
              readError);
}

TEST(ValueStream, BufferBoundariesDoNotChangeTheBytes) {
    const auto body = [](TValueWriter& w) {
        w.WriteIdent(QStringLiteral("Chart of Accounts"));
        w.WriteListBegin();
        for (int i = 0; i < 1500; ++i) {
            w.WriteInteger(i * 37 - 20000);
            w.WriteString(QString(i % 300, QLatin1Char('a' + i % 26)));
            w.WriteFloat(i * 0.01);
            w.WriteBoolean(i % 2 == 0);
        }
        w.WriteListEnd();
    };
    const QByteArray big = Written(body, 1 << 24);
    ASSERT_GT(big.size(), 8192);
    EXPECT_EQ(Written(body, 8192), big);
    EXPECT_EQ(Written(body, 7), big);

    for (const int readBuffer : {3, 4096, 8192}) {
        TReaderOver reader(big, readBuffer);
        EXPECT_EQ(reader->ReadIdent(), QStringLiteral("Chart of Accounts"));
        reader->ReadListBegin();
        for (int i = 0; i < 1500; ++i) {
            ASSERT_EQ(reader->ReadInteger(), i * 37 - 20000);
            ASSERT_EQ(reader->ReadString(), QString(i % 300, QLatin1Char('a' + i % 26)));
            ASSERT_EQ(reader->ReadFloat(), i * 0.01);
            ASSERT_EQ(reader->ReadBoolean(), i % 2 == 0);
        }
        EXPECT_TRUE(reader->EndOfList());
        reader->ReadListEnd();
        EXPECT_TRUE(reader->AtEnd());
    }
}

TEST(ValueStream, AFailedWriteIsReportedNotSwallowed) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    TValueWriter writer(device, 8192);
    writer.WriteString(QStringLiteral("lost"));
    EXPECT_THROW(writer.Finish(), EStreamError);

    QBuffer small(&bytes);
    small.open(QIODevice::ReadOnly);
    TValueWriter tiny(small, 4);
    EXPECT_THROW(tiny.WriteString(QStringLiteral("more than four bytes")), EStreamError);
    EXPECT_THROW(tiny.WriteInteger(1), EStreamError);
}
