#include "core/util/SelectionLists.h"
#include "core/util/TextHelpers.h"
#include "core/util/TextLayout.h"
#include "core/util/TextMacros.h"
#include "core/util/TextReplace.h"

#include "core/dates/DateNumbers.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/vocab/SmallVocabulary.h"
#include "tests/support/FixedClock.h"

#include <gtest/gtest.h>

namespace {

QString Replace(const QStringList& patterns, const QString& replacement, bool wholeWord,
                const QString& text) {
    QString result;
    ReplaceTextList(patterns, replacement, result, wholeWord, text);
    return result;
}

} // namespace

TEST(TextReplace, FirstOnlyAllAndCase) {
    EXPECT_EQ(Replace({"!the"}, "a", false, "the cat and the dog"), "a cat and the dog");
    EXPECT_EQ(Replace({"the"}, "a", false, "the cat and THE dog"), "a cat and a dog");
    // Patterns apply in order, each to the outcome of the one before.
    EXPECT_EQ(Replace({"[", "]"}, "|", false, "[GST] [FBT]"), "|GST| |FBT|");
    EXPECT_EQ(Replace({"cat", "dog"}, "dog", false, "cat"), "dog");
}

TEST(TextReplace, WholeWordsPassOverLongerWordsAndGoOn) {
    // A miss inside "thecat" does not stop the last "the" from being replaced.
    EXPECT_EQ(Replace({"the"}, "a", true, "the thecat the"), "a thecat a");
    EXPECT_EQ(Replace({"the"}, "a", true, "bathe, the. [the]"), "bathe, a. [a]");
    EXPECT_EQ(Replace({"!the"}, "a", true, "other the the"), "other a the");
    EXPECT_TRUE(IsWholeWordAt("a \"word\" b", "word", 3));
    EXPECT_FALSE(IsWholeWordAt("swords", "word", 1));
    EXPECT_FALSE(IsWholeWordAt("word", "word", 1));
    EXPECT_FALSE(IsWholeWordAt("word", "word", -1));
}

TEST(TextReplace, ReplacementHoldingThePatternAndEmptyPatterns) {
    EXPECT_EQ(Replace({"a"}, "aa", false, "banana"), "baanaanaa");
    EXPECT_EQ(Replace({"x"}, "X", false, "xxx"), "XXX");
    EXPECT_EQ(Replace({""}, "none", false, ""), "none");
    EXPECT_EQ(Replace({""}, "none", false, "text"), "text");
    EXPECT_EQ(Replace({"!"}, "none", false, "text"), "text");
    EXPECT_EQ(Replace({}, "none", false, "text"), "text");
}

TEST(TextReplace, DescriptionFilter) {
    QString text = "  EFTPOS PURCHASE Woolworths 1234  ";
    ApplyTextFilter({"EFTPOS PURCHASE=<Blank>", "woolworths=Groceries", "=ignored", "no equals sign"}, text);
    EXPECT_EQ(text, "Groceries 1234");
    text = "ATM";
    ApplyTextFilter({"atm=ATM withdrawal"}, text);
    EXPECT_EQ(text, "ATM withdrawal");
}

TEST(TextMacros, TitleMacrosWithDatesYearsAndClock) {
    TRegionalSettings::Program().Reset();
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 7, 14), QTime(15, 30))));
    const double start = EncodeDateNum(2005, 7, 1);
    const double end = EncodeDateNum(2006, 6, 30);
    EXPECT_EQ(ExpandTitleMacros("Trial Balance <psd-s> to <PED-L>", 2006, start, end),
              "Trial Balance 01/07/05 to 30/06/2006");
    EXPECT_EQ(ExpandTitleMacros("<YL> (<Y>), <YL-1> (<Y-1>)", 2006, 0, 0),
              "For the 2006 financial year (2006), For the 2005 financial year (2005)");
    // No dates: the date macros stay for the reader to see.
    EXPECT_EQ(ExpandTitleMacros("<PSD-S> <PED-S> <E-CODE>", 2006, 0, 0), "<PSD-S> <PED-S> <E-CODE>");
    EXPECT_EQ(ExpandTitleMacros("Printed <SYS-DT>", 2006, 0, 0), "Printed Fri 14 July 2006 at 15:30");
    TServices::Reset();
}

TEST(TextMacros, MonthMacrosWrapAroundTheYear) {
    TRegionalSettings::Program().Reset();
    QString result;
    ExpandMonthMacros("<M-1> <M> <M+1>", result, EncodeDateNum(2006, 1, 15));
    EXPECT_EQ(result, "Dec Jan Feb");
    ExpandMonthMacros("<M-1> <M> <M+1>", result, EncodeDateNum(2006, 12, 1));
    EXPECT_EQ(result, "Nov Dec Jan");
    ExpandMonthMacros("x<M> <M>", result, EncodeDateNum(2006, 3, 1));
    EXPECT_EQ(result, "x<M> Mar");
    ExpandMonthMacros("<M>", result, 0);
    EXPECT_EQ(result, "<M>");
}

TEST(TextLayout, PaddingCentringAndRepeats) {
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadLeft("ab", 5), "   ab");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    EXPECT_EQ(CenterText("abc", 8), "  abc");
    EXPECT_EQ(CenterText("abcdefghij", 8), "abcdefghij");
    EXPECT_EQ(StringOfChar('-', 4), "----");
    EXPECT_EQ(StringOfChar('-', -1), "");
}

TEST(TextLayout, WrapPositions) {
    const QString text = "Payment to supplier";
    //                    1234567890123456789
    EXPECT_EQ(FindWrapPosition(text, 19), 19);
    EXPECT_EQ(FindWrapPosition(text, 40), 40);
    EXPECT_EQ(FindWrapPosition(text, 7), 7);   // character 8 is a blank
    EXPECT_EQ(FindWrapPosition(text, 12), 11); // back to the blank after "to"
    EXPECT_EQ(FindWrapPosition("abcdefgh", 4), 4);
    EXPECT_EQ(FindWrapPosition("ab;cdefgh", 5), 3);
    EXPECT_EQ(FindWrapPosition("ab.cdefgh", 5), 5); // a full stop is no wrap point
    EXPECT_EQ(FindWrapPosition("", 0), 0);
}

TEST(TextLayout, TruncationByCharactersAndByMeasure) {
    QString text = "General Ledger Report";
    TruncateTextToWidth(nullptr, text, 10);
    EXPECT_EQ(text, "General...");
    text = "General Ledger Report";
    TruncateTextToWidth(nullptr, text, -10);
    EXPECT_EQ(text, "General Le");
    text = "Short";
    TruncateTextToWidth(nullptr, text, 10);
    EXPECT_EQ(text, "Short");
    text = "Anything";
    TruncateTextToWidth(nullptr, text, 2);
    EXPECT_EQ(text, "...");
    text = "Anything";
    TruncateTextToWidth(nullptr, text, 0);
    EXPECT_EQ(text, "");
    // Every character two units wide.
    text = "abcdefgh";
    TruncateTextToWidth([](const QString& t) { return static_cast<int>(t.size()) * 2; }, text, 10);
    EXPECT_EQ(text, "ab...");
}

TEST(TextHelpers, SmallConventions) {
    EXPECT_EQ(RemoveTrailingS("Payments"), "Payment");
    EXPECT_EQ(RemoveTrailingS("RECEIPTS"), "RECEIPT");
    EXPECT_EQ(RemoveTrailingS("Cash"), "Cash");
    EXPECT_EQ(RemoveTrailingS(""), "");
    EXPECT_EQ(ProperCase("mr o'BRIEN-smith jr"), "Mr O'Brien-Smith Jr");
    EXPECT_EQ(JoinTexts({"a", "b", "c"}), "a,b,c");
    QString text = "ABC123|Smith|Trust";
    EXPECT_EQ(ExtractToken(text, "|"), "ABC123");
    EXPECT_EQ(text, "Smith|Trust");
    EXPECT_EQ(ExtractToken(text, "|"), "Smith");
    EXPECT_EQ(ExtractToken(text, "|"), "Trust");
    EXPECT_EQ(text, "");
    EXPECT_TRUE(IsNotApplicable(""));
    EXPECT_TRUE(IsNotApplicable("<not applicable>"));
    EXPECT_FALSE(IsNotApplicable("21 Death"));
    EXPECT_EQ(ExtractCodeOrBlank("21 Change in circumstances"), "21");
    EXPECT_EQ(ExtractCodeOrBlank("<Not Applicable>"), "");
    EXPECT_EQ(FormatABN("51824753556"), "51 824 753 556");
    EXPECT_EQ(FormatABN("5182475355"), "5182475355");
    EXPECT_EQ(FormatABN(""), "");
    EXPECT_TRUE(IsTrueText("y"));
    EXPECT_FALSE(IsTrueText("Yes"));
    EXPECT_EQ(IndexOfText("monthly", RepetitionWords), 2);
    EXPECT_EQ(IndexOfText("yearly", RepetitionWords), -1);
    EXPECT_EQ(FundsStatusText(true, 0), "IF");
    EXPECT_EQ(FundsStatusText(false, -0.0000001), "In Funds");
    EXPECT_EQ(FundsStatusText(true, -0.01), "OD");
    EXPECT_EQ(FundsStatusText(false, -12.5), "Overdrawn");
    EXPECT_EQ(CompareByteDescending(1, 2), -1);
    EXPECT_EQ(CompareByteDescending(2, 1), 0);
    EXPECT_EQ(CompareByteDescending(2, 2), 0);
    try {
        RaiseReportBalanceError();
        FAIL();
    } catch (const EQuilvaneError& e) {
        EXPECT_EQ(e.message(), "Unable to calculate report balances.");
    }
}

TEST(TextHelpers, StoredByteDoublingRoundTrips) {
    // "Rent" doubled byte by byte: 0x52*2=0xA4, 0x65*2=0xCA, 0x6E*2=0xDC, 0x74*2=0xE8.
    EXPECT_EQ(DoubleCharCodes("Rent"), QByteArray::fromHex("a4cadce8"));
    EXPECT_EQ(HalveCharCodes(QByteArray::fromHex("a4cadce8")), "Rent");
    // The top bit is lost on the way in: 0xC1 doubles to 0x82.
    EXPECT_EQ(DoubleCharCodes(QByteArray::fromHex("c1")), QByteArray::fromHex("82"));
    for (int b = 0; b < 128; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        EXPECT_EQ(HalveCharCodes(DoubleCharCodes(one)), one);
    }
}

TEST(TextHelpers, AcceleratorsAndExportDates) {
    QSet<QChar> used;
    QString open = "Open", options = "Options", other = "1 Other";
    InsertAccelerator(open, used);
    InsertAccelerator(options, used);
    InsertAccelerator(other, used);
    EXPECT_EQ(open, "&Open");
    EXPECT_EQ(options, "O&ptions");
    EXPECT_EQ(other, "&1 Other");
    QString none = "...";
    InsertAccelerator(none, used);
    EXPECT_EQ(none, "...");

    QString yyyymmdd, mmyy;
    FormatDateForExport(EncodeDateNum(2006, 3, 9), yyyymmdd, mmyy);
    EXPECT_EQ(yyyymmdd, "20060309");
    EXPECT_EQ(mmyy, "0306");
}

TEST(SelectionLists, ParseJoinAndFilter) {
    QString text = " ABC , , def ";
    QStringList list;
    ParseSelectionList(text, list);
    EXPECT_EQ(list, (QStringList{"ABC", "def"}));
    EXPECT_EQ(text, "ABC,def");
    text = "ABC, <ALL>, x";
    ParseSelectionList(text, list);
    EXPECT_EQ(list, QStringList{"<All>"});
    EXPECT_EQ(text, "<All>");

    const QStringList items{" a ", "b"};
    EXPECT_EQ(JoinListItems(items, -1), "a,b");
    EXPECT_EQ(JoinListItems(items, 0), "a");
    EXPECT_EQ(JoinListItems(items, 5), "");

    EXPECT_TRUE(TextMatchesFilter("anything", {}, 0));
    EXPECT_TRUE(TextMatchesFilter("SMITH", {"jones", "smith"}, 1));
    EXPECT_FALSE(TextMatchesFilter("SMITHS", {"smith"}, 1));
    EXPECT_TRUE(TextMatchesFilter("Mr Smith", {"SMITH"}, 2));
    EXPECT_FALSE(TextMatchesFilter("Mr Jones", {"SMITH"}, 2));
    EXPECT_TRUE(TextMatchesFilter("", {"x"}, 3));
    EXPECT_FALSE(TextMatchesFilter("x", {"x"}, 3));
    EXPECT_FALSE(TextMatchesFilter("x", {"x"}, 4));

    EXPECT_EQ(PageKindSetToText(0x7FFF), "All");
    EXPECT_EQ(PageKindSetToText(0xFF), "All");
    EXPECT_EQ(PageKindSetToText((1u << 1) | (1u << 2) | (1u << 9)), "Pay,Rec,Bwdl");
    EXPECT_EQ(PageKindSetToText(0), "");
}
