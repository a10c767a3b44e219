#include "core/io/Win1252Codec.h"

#include <gtest/gtest.h>

TEST(Win1252Codec, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = TWin1252Codec::Decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(TWin1252Codec::Encode(text), all);
}

TEST(Win1252Codec, CodePageCharacters) {
    EXPECT_EQ(TWin1252Codec::DecodeChar(0x80), QChar(0x20AC));
    EXPECT_EQ(TWin1252Codec::DecodeChar(0xB7), QChar(0x00B7));
    EXPECT_EQ(TWin1252Codec::DecodeChar(0x9F), QChar(0x0178));
    EXPECT_EQ(TWin1252Codec::Encode(QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC")),
              QByteArray("Caf\xE9 \x80"));
    EXPECT_EQ(TWin1252Codec::Encode(QString::fromUtf8("\xE2\x98\x83")), QByteArray("?"));
}
