#include "core/reference/Currency.h"
#include "core/reference/AccountType.h"
#include "core/reference/Bank.h"
#include "core/common/Exceptions.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(Currency, ReadsDescriptionNumberAndRate) {
    const TCurrency aud = TCurrency::FromValue("Australian Dollar,36,1.0");
    EXPECT_EQ(aud.Description, "Australian Dollar");
    EXPECT_EQ(aud.Number, 36);
    EXPECT_DOUBLE_EQ(aud.Rate, 1.0);
}

TEST(Currency, NumberThatIsNotAnIntegerBecomesZero) {
    EXPECT_EQ(TCurrency::FromValue("Euro,abc,0.6").Number, 0);
    EXPECT_EQ(TCurrency::FromValue("Euro,,0.6").Number, 0);
}

TEST(Currency, RateIsReadTheSameWhateverTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const TCurrency usd = TCurrency::FromValue("United States Dollar,840,0.65");
    QLocale::setDefault(previous);
    EXPECT_DOUBLE_EQ(usd.Rate, 0.65);
}

TEST(Currency, RateWithALoneCommaIsReadWithTheCommaAsPoint) {
    EXPECT_DOUBLE_EQ(TCurrency::FromValue("Japanese Yen,392,95,5").Rate, 95.5);
}

TEST(Currency, RateThatIsNotANumberRaises) {
    EXPECT_THROW(TCurrency::FromValue("Euro,978,abc"), EQuilvaneError);
    EXPECT_THROW(TCurrency::FromValue("Euro,978"), EQuilvaneError);
    EXPECT_THROW(TCurrency::FromValue("Euro,978,1.2.3"), EQuilvaneError);
    EXPECT_THROW(TCurrency::FromValue("Euro,978,inf"), EQuilvaneError);
    EXPECT_THROW(TCurrency::FromValue("Euro,978,1,2,3"), EQuilvaneError);
}

TEST(ReferenceRows, BankNameStopsAtTheFirstComma) {
    const TBank bank = TBank::FromValue("Bank of Queensland,12,extra");
    EXPECT_EQ(bank.Name, "Bank of Queensland");
    EXPECT_EQ(bank.Details, "12,extra");
    const TBank bare = TBank::FromValue("Credit Union");
    EXPECT_EQ(bare.Name, "Credit Union");
    EXPECT_TRUE(bare.Details.isEmpty());
}

TEST(ReferenceRows, AccountTypeFlagIsSetOnlyByN) {
    EXPECT_TRUE(TAccountType::FromValue("Non-Posting,N").Flag);
    EXPECT_EQ(TAccountType::FromValue("Non-Posting,N").Description, "Non-Posting");
    EXPECT_FALSE(TAccountType::FromValue("Ordinary,Y").Flag);
    EXPECT_FALSE(TAccountType::FromValue("Ordinary").Flag);
    EXPECT_FALSE(TAccountType::FromValue("Ordinary,NO").Flag);
}
