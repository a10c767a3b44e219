#include "core/common/Exceptions.h"
#include "core/util/SelectionLists.h"
#include "core/util/TextHelpers.h"
#include "core/util/TextLayout.h"
#include "core/util/TextMacros.h"
#include "core/util/TextReplace.h"
#include "core/util/Words.h"
#include "core/vocab/SmallVocabulary.h"
#include "tests/core/DatesTestSupport.h"

#include <gtest/gtest.h>

class TextUtilitiesTest : public TDatesFixture {};

TEST_F(TextUtilitiesTest, ReplaceTextList) {
    // Patterns, replacement, whole words only, text, result.
    const std::tuple<QStringList, const char*, bool, const char*, const char*> cases[] = {
        {{"!the"}, "a", false, "the cat and the dog", "a cat and the dog"},
        {{"the"}, "a", false, "the cat and THE dog", "a cat and a dog"},
        {{"[", "]"}, "|", false, "[GST] [FBT]", "|GST| |FBT|"},
        {{"a"}, "aa", false, "banana", "baanaanaa"},
        {{"the"}, "a", true, "the thecat bathe, the. [the]", "a thecat bathe, a. [a]"},
        {{"!the"}, "a", true, "other the the", "other a the"},
        {{""}, "none", false, "", "none"},
        {{"", "!"}, "none", false, "text", "text"},
        {{}, "none", false, "text", "text"}};
    for (const auto& [patterns, replacement, wholeWord, text, expected] : cases) {
        QString result;
        ReplaceTextList(patterns, replacement, result, wholeWord, text);
        EXPECT_EQ(result, expected) << text;
    }
    EXPECT_TRUE(IsWholeWordAt("a \"word\" b", "word", 3));
    EXPECT_FALSE(IsWholeWordAt("swords", "word", 1) || IsWholeWordAt("word", "word", 1) ||
                 IsWholeWordAt("word", "word", -1));
    QString text = "  EFTPOS PURCHASE Woolworths 1234  ";
    ApplyTextFilter({"EFTPOS PURCHASE=<Blank>", "woolworths=Groceries", "=ignored", "no equals sign"}, text);
    EXPECT_EQ(text, "Groceries 1234");
}

TEST_F(TextUtilitiesTest, TitleAndMonthMacros) {
    TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 7, 14), QTime(15, 30))));
    EXPECT_EQ(ExpandTitleMacros("<psd-s> to <PED-L>, <PSD-L> <PED-S> <sys-dt>", 2006, D(2005, 7, 1),
                                D(2006, 6, 30)),
              "01/07/05 to 30/06/2006, 01/07/2005 30/06/06 Fri 14 July 2006 at 15:30");
    // No dates: the date macros stay for the reader to see.
    EXPECT_EQ(
        ExpandTitleMacros("<YL> (<Y>), <YL-1> (<Y-1>) <PSD-S> <PED-L> <E-CODE>", 2006, 0, 0),
        "For the 2006 financial year (2006), For the 2005 financial year (2005) <PSD-S> <PED-L> <E-CODE>");
    const double dates[] = {D(2006, 1, 15), D(2006, 12, 1), D(2006, 3, 1), 0};
    const char* const results[] = {"Dec Jan Feb x<M>", "Nov Dec Jan x<M>", "Feb Mar Apr x<M>",
                                   "<M-1> <M> <m+1> x<M>"};
    for (int i = 0; i < 4; ++i) {
        QString result;
        ExpandMonthMacros("<M-1> <M> <m+1> x<M>", result, dates[i]);
        EXPECT_EQ(result, results[i]);
    }
}

TEST_F(TextUtilitiesTest, PaddingWrappingAndTruncation) {
    EXPECT_EQ(PadRight("ab", 5) + "|" + PadLeft("ab", 5) + "|" + PadRight("abcdef", 3), "ab   |   ab|abcdef");
    EXPECT_EQ(CenterText("abc", 8) + "|" + CenterText("abc", 9) + "|" + CenterText("abcdefgh", 7),
              "  abc|   abc|abcdefgh");
    EXPECT_EQ(StringOfChar('-', 4) + StringOfChar('-', -1), "----");
    // Breaks of "Payment to supplier" at most N long (none beyond the text, before a blank after
    // it, else at the last blank up to N); "ab.cdefgh" has no wrap point, "a bc defgh" one at 2.
    const int payment[][2] = {{19, 19}, {40, 40}, {7, 7}, {12, 11}, {8, 8}, {3, 3}};
    for (const auto& c : payment)
        EXPECT_EQ(FindWrapPosition("Payment to supplier", c[0]), c[1]) << c[0];
    EXPECT_EQ(FindWrapPosition("ab.cdefgh", 5) * 100 + FindWrapPosition("ab;cdefgh", 5) * 10 +
                  FindWrapPosition("a bc defgh", 4),
              534);
    const std::tuple<int, const char*> cuts[] = {
        {10, "General..."}, {-10, "General Le"}, {2, "..."}, {0, ""}, {30, "General Ledger Report"}};
    for (const auto& [maxWidth, expected] : cuts) {
        QString text = "General Ledger Report";
        TruncateTextToWidth(nullptr, text, maxWidth);
        EXPECT_EQ(text, expected) << maxWidth;
    }
    QString text = "abcdefgh"; // every character two units wide
    TruncateTextToWidth([](const QString& t) { return static_cast<int>(t.size()) * 2; }, text, 10);
    EXPECT_EQ(text, "ab...");
}

TEST_F(TextUtilitiesTest, SmallConventions) {
    EXPECT_EQ(RemoveTrailingS("Payments") + RemoveTrailingS("RECEIPTS") + RemoveTrailingS("Cash"),
              "PaymentRECEIPTCash");
    EXPECT_EQ(ProperCase("mr o'BRIEN-smith jr"), "Mr O'Brien-Smith Jr");
    QString text = "ABC123|Smith";
    EXPECT_EQ(ExtractToken(text, "|"), "ABC123");
    EXPECT_EQ(text, "Smith");
    EXPECT_EQ(ExtractToken(text, "|"), "Smith");
    EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(IsNotApplicable("") && IsNotApplicable("<not applicable>") && !IsNotApplicable("21 Death"));
    EXPECT_EQ(ExtractCodeOrBlank("21 Change in circumstances") + ExtractCodeOrBlank("<Not Applicable>"),
              "21");
    EXPECT_EQ(FormatABN("51824753556") + "|" + FormatABN("5182475355"), "51 824 753 556|5182475355");
    EXPECT_TRUE(IsTrueText("y") && !IsTrueText("Yes"));
    EXPECT_EQ(IndexOfText("monthly", RepetitionWords) * 10 + IndexOfText("yearly", RepetitionWords), 19);
    EXPECT_EQ(FundsStatusText(true, 0) + FundsStatusText(true, -0.004) + FundsStatusText(true, -0.01),
              "IFIFOD");
    EXPECT_EQ(FundsStatusText(false, 0) + FundsStatusText(false, -12.5), "In FundsOverdrawn");
    EXPECT_EQ(CompareByteDescending(1, 2) * 100 + CompareByteDescending(2, 1) * 10 +
                  CompareByteDescending(2, 2),
              -100);
    EXPECT_THROW(RaiseReportBalanceError(), EQuilvaneError);
    // "Rent" doubled byte by byte; the top bit is lost on the way in.
    EXPECT_EQ(DoubleCharCodes("Rent\xC1"), QByteArray::fromHex("a4cadce882"));
    EXPECT_EQ(HalveCharCodes(QByteArray::fromHex("a4cadce8ff")), "Rent\x7F");
    QSet<QChar> used;
    QStringList captions = {"Open", "Options", "1 Other", "..."};
    for (QString& caption : captions)
        InsertAccelerator(caption, used);
    EXPECT_EQ(captions.join(u'|'), "&Open|O&ptions|&1 Other|...");
    QString yyyymmdd, mmyy;
    FormatDateForExport(D(2006, 3, 9), yyyymmdd, mmyy);
    EXPECT_EQ(yyyymmdd + " " + mmyy, "20060309 0306");
}

TEST_F(TextUtilitiesTest, SelectionLists) {
    QString text = " ABC , , def ";
    QStringList list;
    ParseSelectionList(text, list);
    EXPECT_EQ(list.join(u'|') + " " + text, "ABC|def ABC,def");
    text = "ABC, <ALL>, x";
    ParseSelectionList(text, list);
    EXPECT_EQ(list.join(u'|') + " " + text, "<All> <All>");
    const QStringList padded{" a ", "b"};
    EXPECT_EQ(JoinListItems(padded, -1) + "|" + JoinListItems(padded, 0) + "|" + JoinListItems(padded, 2),
              "a,b|a|");
    // Mode 0 matches all, 1 an equal item, 2 an item inside, 3 an empty text (any case).
    const std::tuple<const char*, QStringList, int, bool> filters[] = {{"anything", {}, 0, true},
                                                                       {"SMITH", {"jones", "smith"}, 1, true},
                                                                       {"SMITHS", {"smith"}, 1, false},
                                                                       {"Mr Smith", {"SMITH"}, 2, true},
                                                                       {"Mr Jones", {"SMITH"}, 2, false},
                                                                       {"", {"x"}, 3, true},
                                                                       {"x", {"x"}, 3, false},
                                                                       {"x", {"x"}, 4, false}};
    for (const auto& [candidate, items, mode, matches] : filters)
        EXPECT_EQ(TextMatchesFilter(candidate, items, mode), matches) << candidate << " " << mode;
    EXPECT_EQ(PageKindSetToText(0x7FFF) + PageKindSetToText(0xFF), "AllAll");
    EXPECT_EQ(PageKindSetToText((1u << 0) | (1u << 9) | (1u << 14)), "Opbl,Bwdl,Deleted");
}

TEST_F(TextUtilitiesTest, WordsBetweenDelimiters) {
    // Word number, text, delimiters, word, its position.
    const std::tuple<int, const char*, const char*, const char*, int> words[] = {
        {1, "10,20 ,30", ", ", "10", 1}, {2, "10,20 ,30", ", ", "20", 4},  {3, "10,20 ,30", ", ", "30", 8},
        {5, "10,20 ,30", ", ", "", 0},   {0, "10,20 ,30", ", ", "", 0},    {-1, "10,20", ",", "", 0},
        {1, ",,ab, ", ", ", "ab", 3},    {2, ",,ab, ", ", ", "", 0},       {1, "", ",", "", 0},
        {2, "one two", "", "", 0},       {1, "one two", "", "one two", 1}, {2, "a;b", ";", "b", 3}};
    for (const auto& [n, text, delimiters, word, position] : words) {
        SCOPED_TRACE(std::to_string(n) + " " + text);
        EXPECT_EQ(ExtractWord(n, QString(text), QString(delimiters)), word);
        EXPECT_EQ(WordPosition(n, QString(text), QString(delimiters)), position);
    }
    // Parts up to each delimiter, empty ones included, then empty once past the end.
    // clang-format off
    const std::tuple<const char*, int, QStringList> walks[] = {{"a;b;;c", 1, {"a", "b", "", "c", ""}},
        {"a;b;", 1, {"a", "b", ""}}, {"ab,cd", 2, {"b", "cd", ""}}, {"ab", 0, {"", ""}}, {"ab", -3, {""}},
        {"ab", 9, {""}}, {"", 1, {""}}};
    // clang-format on
    for (const auto& [text, start, parts] : walks) {
        SCOPED_TRACE(std::string(text) + " from " + std::to_string(start));
        QStringList walked;
        int position = start;
        for (qsizetype i = 0; i < parts.size(); ++i)
            walked.append(ExtractSubstr(QString(text), position, u";,"));
        EXPECT_EQ(walked, parts);
        EXPECT_EQ(position, QString(text).size() + 1);
    }
}
