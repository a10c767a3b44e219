#include "core/accounts/AccountGroups.h"

#include "tests/core/AccountTestFormats.h"
#include "tests/support/ServicesFixture.h"

#include <gtest/gtest.h>

namespace {

class AccountGroupsTest : public TServicesFixture {
protected:
    std::unique_ptr<TAccountFormat> Format = AccountOnlyFormat();

    std::unique_ptr<TAccountGroup> Group(int from, int to, const QString& description = QString()) const {
        auto group = std::make_unique<TAccountGroup>(description, MakeCode(-1, -1, from, -1), Format.get());
        group->SetToCode(MakeCode(-1, -1, to, -1));
        return group;
    }

    std::unique_ptr<TAccountGroups> List(std::initializer_list<std::pair<int, int>> ranges) const {
        auto list = std::make_unique<TAccountGroups>(Format.get());
        for (auto [from, to] : ranges)
            list->AddGroup(QString::number(from), Group(from, to));
        return list;
    }

    static TAccountCode Account(int account) { return MakeCode(-1, -1, account, -1); }
};

} // namespace

// --- Range texts -----------------------------------------------------------------------------

TEST_F(AccountGroupsTest, ListOfRangesAndCodesIsNormalised) {
    QString text = QStringLiteral("100 to 200, 305");
    std::unique_ptr<TAccountGroups> groups;
    ASSERT_TRUE(Parse(Format.get(), text, true, groups));
    ASSERT_EQ(groups->Count(), 2);
    EXPECT_EQ(text, QStringLiteral("0100 to 0200,0305"));
    EXPECT_EQ(groups->AsText(), text);
    EXPECT_EQ(groups->GetGroup(0)->FromCode(), Account(100));
    EXPECT_EQ(groups->GetGroup(0)->ToCode(), Account(200));
    EXPECT_EQ(groups->GetGroup(1)->FromCode(), Account(305));
    EXPECT_EQ(groups->GetGroup(1)->ToCode(), Account(305));
    EXPECT_EQ(groups->GetGroup(1)->Description, QStringLiteral("0305"));
    EXPECT_TRUE(groups->Contains(Account(150)));
    EXPECT_FALSE(groups->Contains(Account(250)));
    EXPECT_FALSE(groups->GroupContains(Account(200), 5));
}

TEST_F(AccountGroupsTest, WithoutListsOnlyTheFirstCodeCounts) {
    QString text = QStringLiteral("100 to 200, 305");
    std::unique_ptr<TAccountGroups> groups;
    ASSERT_TRUE(Parse(Format.get(), text, false, groups));
    ASSERT_EQ(groups->Count(), 1);
    EXPECT_EQ(groups->GetGroup(0)->ToCode(), Account(100));
    EXPECT_EQ(text, QStringLiteral("0100"));
}

TEST_F(AccountGroupsTest, AllIsTheFormatsWholeRange) {
    QString text = QStringLiteral("all");
    std::unique_ptr<TAccountGroup> group;
    ASSERT_TRUE(ParseRangeItem(Format.get(), QString(), text, group));
    EXPECT_EQ(text, QStringLiteral("ALL"));
    EXPECT_EQ(group->Description, QStringLiteral("ALL"));
    EXPECT_EQ(group->FromCode(), Account(1));
    EXPECT_EQ(group->ToCode(), Account(9999));

    text = QStringLiteral("all");
    std::unique_ptr<TAccountGroups> groups;
    ASSERT_TRUE(Parse(Format.get(), text, true, groups));
    ASSERT_EQ(groups->Count(), 1);
    EXPECT_EQ(groups->GetKey(0), QStringLiteral("0001 to 9999"));
    EXPECT_EQ(groups->GetGroup(0)->Description, QStringLiteral("0001 to 9999"));
    EXPECT_EQ(text, QStringLiteral("0001 to 9999"));
}

TEST_F(AccountGroupsTest, AllRangeOfANewFormatIsReadAsCodes) {
    // While the reference data builds a format, its "ALL" range is parsed before the format has
    // one: the text must be read as codes, not lost to the keyword.
    auto fresh = AccountOnlyFormat(false);
    QString text = QStringLiteral("0001 to 9999");
    std::unique_ptr<TAccountGroup> group;
    ASSERT_TRUE(ParseRangeItem(fresh.get(), QStringLiteral("ALL"), text, group));
    EXPECT_EQ(group->Description, QStringLiteral("ALL"));
    EXPECT_EQ(group->FromCode(), Account(1));
    EXPECT_EQ(group->ToCode(), Account(9999));
    EXPECT_TRUE(text.isEmpty());

    // The same description once the format has its range gives the range itself.
    fresh->Ranges.AddGroup(QStringLiteral("ALL"), std::move(group));
    text = QStringLiteral("0005 to 0006");
    ASSERT_TRUE(ParseRangeItem(fresh.get(), QStringLiteral("all"), text, group));
    EXPECT_EQ(group->ToCode(), Account(9999));
    EXPECT_EQ(text, QStringLiteral("ALL"));
}

TEST_F(AccountGroupsTest, UpperCaseToIsNotARange) {
    Prompt->Answer(TMessageButton::OK);
    QString text = QStringLiteral("100 TO 200");
    std::unique_ptr<TAccountGroup> group;
    EXPECT_FALSE(ParseRangeItem(Format.get(), QString(), text, group));
    EXPECT_EQ(group, nullptr);
    EXPECT_EQ(Prompt->Texts(), QStringList{QStringLiteral("Accounts must be in the range 1 to 9999")});
}

TEST_F(AccountGroupsTest, BadItemIsReportedAndTheRestStillParsed) {
    Prompt->Answer(TMessageButton::OK);
    QString text = QStringLiteral("100,99999,300");
    std::unique_ptr<TAccountGroups> groups;
    EXPECT_FALSE(Parse(Format.get(), text, true, groups));
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->Count(), 2);
    EXPECT_EQ(text, QStringLiteral("0100,0300"));
    EXPECT_EQ(Prompt->Shown.size(), 1);
}

TEST_F(AccountGroupsTest, RangeWhoseFromCodeFailsIsNotMade) {
    Prompt->Answer(TMessageButton::OK);
    QString text = QStringLiteral("x to 200");
    std::unique_ptr<TAccountGroup> group;
    EXPECT_FALSE(ParseRangeItem(Format.get(), QStringLiteral("D"), text, group));
    EXPECT_EQ(group, nullptr);
    EXPECT_EQ(Prompt->Shown.size(), 1) << "the to-code is not read after a failed from-code";
}

TEST_F(AccountGroupsTest, FormatGroupTexts) {
    const auto range = Group(100, 200, QStringLiteral("Sales"));
    EXPECT_EQ(FormatGroup(Format.get(), *range, false), QStringLiteral("0100 to 0200"));
    EXPECT_EQ(FormatGroup(Format.get(), *range, true), QStringLiteral("Sales"));
    EXPECT_EQ(FormatGroup(Format.get(), *Group(7, 7), false), QStringLiteral("0007"));
    EXPECT_EQ(TAccountGroups(Format.get()).AsText(), QString());
}

// --- The list ----------------------------------------------------------------------------------

TEST_F(AccountGroupsTest, LowestAndHighestAccounts) {
    auto list = List({{300, 400}, {100, 200}, {500, 600}});
    EXPECT_EQ(list->LowestAccount, 100);
    EXPECT_EQ(list->LowestKey, QStringLiteral("A0100"));
    EXPECT_EQ(list->HighestAccount, 600);
    EXPECT_EQ(list->HighestKey, QStringLiteral("A0600"));
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->HighestAccount, -1);
    EXPECT_TRUE(list->LowestKey.isEmpty());
}

TEST_F(AccountGroupsTest, LowestAccountAlsoFoundForFiveDigitAccounts) {
    TAccountFormat wide(QStringLiteral("W"), QStringLiteral("AAAAA"), QString(), QString());
    TAccountGroups list(&wide);
    auto group = std::make_unique<TAccountGroup>(QString(), MakeCode(-1, -1, 20000, -1), &wide);
    group->SetToCode(MakeCode(-1, -1, 30000, -1));
    list.AddGroup(QStringLiteral("a"), std::move(group));
    EXPECT_EQ(list.LowestAccount, 20000);
    EXPECT_EQ(list.LowestKey, QStringLiteral("A20000"));
}

TEST_F(AccountGroupsTest, SortedListIgnoresAKeyItHolds) {
    TAccountGroups list(Format.get(), true);
    EXPECT_TRUE(list.AddGroup(QStringLiteral("PRL"), Group(1, 2)));
    EXPECT_TRUE(list.AddGroup(QStringLiteral("ALL"), Group(1, 9999)));
    EXPECT_FALSE(list.AddGroup(QStringLiteral("prl"), Group(5, 6)));
    EXPECT_TRUE(list.AddGroup(QStringLiteral("BSH"), Group(3, 4)));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetKey(0), QStringLiteral("ALL"));
    EXPECT_EQ(list.GetKey(1), QStringLiteral("BSH"));
    EXPECT_EQ(list.GetKey(2), QStringLiteral("PRL"));
    EXPECT_EQ(list.GetGroup(2)->ToCode(), Account(2));
    EXPECT_EQ(list.IndexOf(QStringLiteral("bsh")), 1);
    EXPECT_EQ(list.GetGroup(-1), nullptr);
}

TEST_F(AccountGroupsTest, OverlapsFindsAnySharedCode) {
    const auto base = List({{100, 200}});
    EXPECT_TRUE(base->Overlaps(List({{150, 250}}).get()));
    EXPECT_TRUE(base->Overlaps(List({{50, 150}}).get()));
    EXPECT_TRUE(base->Overlaps(List({{200, 300}}).get())) << "touching ends share a code";
    EXPECT_TRUE(base->Overlaps(List({{50, 300}}).get())) << "the other range holds this one";
    EXPECT_TRUE(List({{50, 300}})->Overlaps(base.get()));
    EXPECT_FALSE(base->Overlaps(List({{201, 300}}).get()));
    EXPECT_FALSE(base->Overlaps(List({{1, 99}, {201, 999}}).get()));
    EXPECT_TRUE(base->Overlaps(List({{1, 99}, {199, 999}}).get()));
    EXPECT_FALSE(base->Overlaps(nullptr));
    EXPECT_FALSE(base->Overlaps(List({}).get()));
}

TEST_F(AccountGroupsTest, AssignCopiesGroupsAndLeavesTheSharedFormatAlone) {
    TAccountFormat other(QStringLiteral("O"), QStringLiteral("BB-AAAA"), QString(), QString());
    TAccountGroups source(&other);
    auto group = std::make_unique<TAccountGroup>(QStringLiteral("Sales"), MakeCode(1, -1, 100, -1), &other);
    group->SetToCode(MakeCode(1, -1, 200, -1));
    group->Mode = 1;
    source.AddGroup(QStringLiteral("whatever"), std::move(group));

    TAccountGroups copy(Format.get());
    copy.AddGroup(QStringLiteral("old"), Group(1, 2));
    copy.Assign(source);

    EXPECT_EQ(Format->Mask, QStringLiteral("AAAA")) << "the format shared by other files is not rewritten";
    EXPECT_EQ(copy.Format, &other);
    ASSERT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.GetKey(0), QStringLiteral("Sales"));
    EXPECT_EQ(copy.GetGroup(0)->Mode, 1);
    EXPECT_EQ(copy.GetGroup(0)->FromKey(), QStringLiteral("B01A0100"));
    EXPECT_TRUE(copy.Contains(MakeCode(1, -1, 150, -1)));
}

TEST_F(AccountGroupsTest, GroupDescriptionsFromText) {
    auto list = List({{1, 2}, {3, 4}, {5, 6}});
    list->SetGroupDescriptions(QStringLiteral("  Cash , ,Debtors  "), 7);
    EXPECT_EQ(list->GetGroup(0)->Description, QStringLiteral("Cash"));
    EXPECT_EQ(list->GetGroup(1)->Description, QStringLiteral("<Blank>"));
    EXPECT_EQ(list->GetGroup(2)->Description, QStringLiteral("Debtors"));

    list->SetGroupDescriptions(QStringLiteral(" All, of it "), 8);
    EXPECT_EQ(list->GetGroup(0)->Description, QStringLiteral("All, of it"));
    EXPECT_EQ(list->GetGroup(1)->Description, QStringLiteral("<Blank>"));

    list->SetGroupDescriptions(QStringLiteral("  "), 8);
    EXPECT_EQ(list->GetGroup(0)->Description, QStringLiteral("<Blank>"));

    list->SetGroupDescriptions(QStringLiteral("X,Y,Z"), 3);
    EXPECT_EQ(list->GetGroup(2)->Description, QStringLiteral("Debtors"));
}
