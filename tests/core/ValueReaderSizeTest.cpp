// The value stream reader asks its device for the size once, whatever the number of values, and
// still refuses lengths the stream does not hold.
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// A device in memory that counts how often its size is asked (for a file, a system call).
class TCountingBuffer : public QBuffer {
public:
    explicit TCountingBuffer(const QByteArray& bytes) {
        setData(bytes);
        open(QIODevice::ReadOnly);
    }
    qint64 size() const override {
        ++SizeCalls;
        return QBuffer::size();
    }
    mutable int SizeCalls = 0;
};

QByteArray Stream(int values) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TValueWriter writer(buffer, 8192);
    writer.WriteListBegin();
    for (int i = 0; i < values; ++i) {
        writer.WriteString(QString(i % 40, QLatin1Char('a' + i % 26)));
        writer.WriteFloat(i * 0.25);
        writer.WriteIdent(QStringLiteral("Ident%1").arg(i));
    }
    writer.WriteListEnd();
    writer.Finish();
    return buffer.data();
}

// Buffers of several sizes, so that values lie inside a buffer and across two.
TEST(ValueReaderSize, TheSizeIsAskedOnceForAWholeStream) {
    const QByteArray bytes = Stream(2000);
    for (const int bufferSize : {5, 64, 8192}) {
        SCOPED_TRACE(bufferSize);
        TCountingBuffer device(bytes);
        TValueReader reader(device, bufferSize);
        reader.ReadListBegin();
        for (int i = 0; i < 2000; ++i) {
            ASSERT_EQ(reader.ReadString(), QString(i % 40, QLatin1Char('a' + i % 26)));
            ASSERT_EQ(reader.ReadFloat(), i * 0.25);
            ASSERT_EQ(reader.ReadIdent(), QStringLiteral("Ident%1").arg(i));
        }
        reader.ReadListEnd();
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_LE(device.SizeCalls, 1);
    }
}

// Lengths are still checked against the stream: a string or a float that claims more bytes than
// follow is a read error, one that ends exactly at the end of the stream reads.
TEST(ValueReaderSize, LengthsBeyondTheStreamAreRefused) {
    struct TCase {
        QByteArray Bytes;
        bool Fails;
    };
    const QByteArray text(300, 'x');
    const TCase cases[] = {
        {QByteArray("\x06\x03"
                    "abc",
                    5),
         false}, // short string, exact
        {QByteArray("\x06\x04"
                    "abc",
                    5),
         true},                                                                  // one byte short
        {QByteArray("\x0C\x2C\x01\x00\x00", 5) + text, false},                   // long string, exact
        {QByteArray("\x0C\x2D\x01\x00\x00", 5) + text, true},                    // claims 301
        {QByteArray("\x0C\xFF\xFF\xFF\x7F", 5) + text, true},                    // claims 2 GB
        {QByteArray("\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF\x3F", 11), false}, // a float, 1.0
        {QByteArray("\x05\x00\x00\x00\x00\x00\x00\x00\x80\xFF", 10), true}};     // cut short
    for (const TCase& c : cases) {
        for (const int bufferSize : {1, 4, 8192}) {
            SCOPED_TRACE(c.Bytes.toHex().left(24).toStdString() + " " + std::to_string(bufferSize));
            TCountingBuffer device(c.Bytes);
            TValueReader reader(device, bufferSize);
            const auto read = [&] {
                if (c.Bytes[0] == '\x05')
                    EXPECT_EQ(reader.ReadFloat(), 1.0);
                else
                    EXPECT_EQ(reader.ReadString().size(), c.Bytes.size() - (c.Bytes[0] == '\x06' ? 2 : 5));
            };
            if (c.Fails) {
                EXPECT_THROW(read(), EStreamError);
            } else {
                read();
                EXPECT_TRUE(reader.AtEnd());
            }
        }
    }
}

} // namespace
