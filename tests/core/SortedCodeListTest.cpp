#include "core/reference/SortedCodeList.h"

#include <gtest/gtest.h>

namespace {

struct TRowStub {
    explicit TRowStub(QString text) : Text(std::move(text)) {}
    QString Text;
};

TSortedCodeList<TRowStub> ListOf(std::initializer_list<std::pair<const char*, const char*>> rows) {
    TSortedCodeList<TRowStub> list;
    for (const auto& [code, text] : rows)
        list.Add(QString::fromLatin1(code), std::make_unique<TRowStub>(QString::fromLatin1(text)));
    return list;
}

} // namespace

TEST(SortedCodeList, KeepsCodesInOrderWhateverTheOrderOfAdding) {
    const auto list = ListOf({{"SUP", "super"}, {"COY", "company"}, {"NSP", "other"}, {"ANP", "x"}});
    EXPECT_EQ(list.Codes(), (QStringList{"ANP", "COY", "NSP", "SUP"}));
    EXPECT_EQ(list.IndexOf("NSP"), 2);
    EXPECT_EQ(list.Row(3)->Text, "super");
}

TEST(SortedCodeList, CodesDifferingOnlyInCaseAreOneCodeAndTheFirstRowWins) {
    auto list = ListOf({{"aud", "first"}});
    EXPECT_FALSE(list.Add("AUD", std::make_unique<TRowStub>("second")));
    EXPECT_FALSE(list.Add("aud", std::make_unique<TRowStub>("third")));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Code(0), "aud");
    ASSERT_NE(list.Find("Aud"), nullptr);
    EXPECT_EQ(list.Find("Aud")->Text, "first");
}

TEST(SortedCodeList, AbsentCodesAndPositionsGiveNothing) {
    auto list = ListOf({{"B", "b"}, {"D", "d"}});
    EXPECT_EQ(list.IndexOf("A"), -1);
    EXPECT_EQ(list.IndexOf("C"), -1);
    EXPECT_EQ(list.IndexOf("E"), -1);
    EXPECT_EQ(list.Find(""), nullptr);
    EXPECT_EQ(list.Row(-1), nullptr);
    EXPECT_EQ(list.Row(2), nullptr);
    EXPECT_TRUE(list.Code(5).isEmpty());
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.IndexOf("B"), -1);
}
