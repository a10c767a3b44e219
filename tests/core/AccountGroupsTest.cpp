#include "core/accounts/AccountGroups.h"
#include "core/io/StreamError.h"

#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

namespace {

class AccountGroupsTest : public TAccountsFixture {
protected:
    // A group of Format from 01-from to 01-to (with sub-account toSub).
    std::unique_ptr<TAccountGroup> Range(int from, int to, int toSub = -1, const QString& description = {}) {
        auto group = std::make_unique<TAccountGroup>(description, MakeCode(1, -1, from, -1), Format.get());
        group->SetToCode(MakeCode(1, -1, to, toSub));
        return group;
    }
    // A list of Plain's account ranges.
    std::unique_ptr<TAccountGroups> List(std::initializer_list<std::pair<int, int>> ranges) const {
        auto list = std::make_unique<TAccountGroups>(Plain.get());
        for (auto [from, to] : ranges) {
            auto group = std::make_unique<TAccountGroup>(QString(), Acc(from), Plain.get());
            group->SetToCode(Acc(to));
            list->AddGroup(QString::number(from), std::move(group));
        }
        return list;
    }
};

// "Bank", from 01-0234 to 01-0300, no lower limits, sub-accounts up to 19, mode 1.
const char kGroupStream[] = "06 04 42 61 6E 6B  02 01 02 FF 03 EA 00 02 FF  02 01 02 FF 03 2C 01 02 FF"
                            "02 FF 02 FF 02 FF 02 FF  02 FF 02 FF 02 FF 02 13  02 01";

} // namespace

TEST_F(AccountGroupsTest, BoundsKeepTheirKeys) {
    auto group = Range(234, 234);
    EXPECT_EQ(group->FirstDifferingPart(), 0);
    for (int part : {SubAccountPart, AccountPart, BranchPart}) { // later parts first
        group->SetToPart(part, 7);
        EXPECT_EQ(group->GetToPart(part) * 10 + group->FirstDifferingPart(), 70 + part);
    }
    group->SetFromPart(SubAccountPart, 3);
    EXPECT_EQ(group->FromKey() + group->ToKey(), "B01A0234S03B07A0007S07");
}

TEST_F(AccountGroupsTest, ContainsWithinBoundsAndPartLimits) {
    // Bounds 1-0100 to 1-0300-99; limits on the sub-account (-1 none) and the mode, then the code's
    // branch, account and sub-account, and whether it is contained. Mode 1 keeps the codes within the
    // limits, other modes those beyond them on one side; a limit of 0 puts an absent part below it.
    // The order of keys over every part is checked by the key tests.
    const int cases[][7] = {
        {-1, -1, 0, 1, 100, -1, 1}, {-1, -1, 0, 1, 300, 99, 1}, {-1, -1, 0, 1, 99, 99, 0},
        {-1, -1, 0, 1, 301, -1, 0}, {10, 19, 1, 1, 200, 10, 1}, {10, 19, 1, 1, 200, 19, 1},
        {10, 19, 1, 1, 200, 25, 0}, {10, 19, 1, 1, 200, 9, 0},  {10, 19, 0, 1, 200, 15, 0},
        {10, 19, 0, 1, 200, 25, 1}, {10, 19, 0, 1, 200, 5, 1},  {10, 19, 2, 1, 200, 25, 1},
        {10, 19, 0, 1, 301, 25, 0}, {0, -1, 1, 1, 200, -1, 0},  {0, -1, 1, 1, 200, 0, 1}};
    for (const auto& c : cases) {
        auto group = Range(100, 300, 99);
        group->SetSubRangeMinPart(SubAccountPart, c[0]);
        group->SetSubRangeMaxPart(SubAccountPart, c[1]);
        group->Mode = c[2];
        EXPECT_EQ(group->Contains(MakeCode(c[3], -1, c[4], c[5])), c[6] == 1)
            << c[0] << " " << c[1] << " " << c[2] << " " << c[4] << " " << c[5];
    }
}

TEST_F(AccountGroupsTest, StreamFormMatchesTheLayout) {
    auto group = Range(234, 300, -1, "Bank");
    group->SetSubRangeMaxPart(SubAccountPart, 19);
    group->Mode = 1;
    const QByteArray expected = QByteArray::fromHex(kGroupStream);
    EXPECT_EQ(WrittenItem(*group).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(group->StreamSize(), expected.size());
    TAccountGroup read("Keep", MakeCode(1, -1, 5, -1), Format.get());
    // A stream cut short, or with a part beyond 16 bits, raises and leaves the group as it was.
    QByteArray beyondSixteenBits = expected;
    beyondSixteenBits.replace(6, 2, QByteArray::fromHex("04 00 00 01 00"));
    for (const QByteArray& bytes : {expected.left(expected.size() - 1), beyondSixteenBits}) {
        EXPECT_THROW(ReadItem(read, bytes), EStreamError);
        EXPECT_EQ(read.Description + read.FromKey(), "KeepB01A0005S..");
    }
    ReadItem(read, expected);
    EXPECT_EQ(WrittenItem(read), expected);
    EXPECT_EQ(read.ToKey(), "B01A0300S..");
}

TEST_F(AccountGroupsTest, RangeTextsParseAndAreNormalised) {
    // Text, lists allowed, result, normalised text, box shown; only a lower-case "to" joins.
    const std::tuple<const char*, bool, bool, const char*, const char*> cases[] = {
        {"100 to 200, 305", true, true, "0100 to 0200,0305", ""},
        {"100 to 200, 305", false, true, "0100", ""},
        {"1 to 9999", true, true, "0001 to 9999", ""},
        {"all", true, true, "0001 to 9999", ""},
        {"100,99999,300", true, false, "0100,0300", AccountsRange},
        {"100,,300", true, false, "0100,0300", AccountsRange},
        {"100 TO 200", true, false, "", AccountsRange},
        {"", true, true, "", ""}};
    for (const auto& [original, allowList, ok, normalised, box] : cases) {
        ExpectBox(box);
        QString text = original;
        std::unique_ptr<TAccountGroups> groups;
        EXPECT_EQ(Parse(Plain.get(), text, allowList, groups), ok) << original;
        EXPECT_EQ(text, normalised) << original;
        EXPECT_EQ(groups->AsText(), text);
        CheckBox();
    }
    QString text = "100 to 200, 305";
    std::unique_ptr<TAccountGroups> groups;
    ASSERT_TRUE(Parse(Plain.get(), text, true, groups));
    EXPECT_EQ(groups->GetFromCodeText(0) + "|" + groups->GetGroup(1)->Description, "0100|0305");
    EXPECT_EQ(groups->GetFromCode(-1), TAccountCode::Empty());
    EXPECT_TRUE(groups->GroupContains(Acc(200), 0) && groups->Contains(Acc(305)));
    EXPECT_FALSE(groups->GroupContains(Acc(200), 2) || groups->Contains(Acc(250)));

    // Without a format nothing can be read: the text stays and the list is empty.
    text = "1000";
    EXPECT_FALSE(Parse(nullptr, text, true, groups));
    EXPECT_EQ(text + QString::number(groups->Count()), "10000");
    std::unique_ptr<TAccountGroup> group;
    EXPECT_FALSE(ParseRangeItem(nullptr, QString(), text, group));
}

TEST_F(AccountGroupsTest, RangeItems) {
    QString text = "all";
    std::unique_ptr<TAccountGroup> group;
    ASSERT_TRUE(ParseRangeItem(Plain.get(), QString(), text, group));
    EXPECT_EQ(text + group->Description + FormatGroup(Plain.get(), *group, false), "ALLALL0001 to 9999");
    // While a format is being built its own "ALL" range is read as codes.
    text = "0005 to 0006";
    ASSERT_TRUE(ParseRangeItem(Bare.get(), "ALL", text, group));
    EXPECT_EQ(FormatGroup(Bare.get(), *group, true) + FormatGroup(Bare.get(), *group, false),
              "ALL0005 to 0006");
    EXPECT_TRUE(text.isEmpty());
    // The to-code is not read after a failed from-code.
    ExpectBox(AccountsRange);
    text = "x to 200";
    EXPECT_FALSE(ParseRangeItem(Plain.get(), "D", text, group));
    EXPECT_EQ(group, nullptr);
}

TEST_F(AccountGroupsTest, ListsKeepLowestHighestAndSortedKeys) {
    auto list = List({{300, 400}, {100, 200}, {350, 600}});
    EXPECT_EQ(list->LowestKey + list->HighestKey, "A0100A0600");
    EXPECT_EQ(list->LowestAccount * 1000 + list->HighestAccount, 100600);
    list->Clear();
    EXPECT_EQ(list->Count() + list->HighestAccount, -1);
    EXPECT_TRUE(list->LowestKey.isEmpty() && list->HighestKey.isEmpty());
    EXPECT_EQ(WithAll(MakeFormat("AAAAA"), Acc(1), Acc(50000))->Ranges.HighestAccount, 50000);

    TAccountGroups sorted(Plain.get(), true);
    for (const char* key : {"PRL", "ALL", "prl", "BSH"})
        sorted.AddGroup(key, std::make_unique<TAccountGroup>(QString(), Acc(sorted.Count()), Plain.get()));
    EXPECT_EQ(sorted.GetKey(0) + sorted.GetKey(1) + sorted.GetKey(2) + sorted.GetKey(3), "ALLBSHPRL");
    EXPECT_EQ(sorted.GetGroup(2)->FromCode(), Acc(0));
    EXPECT_EQ(sorted.IndexOf("bsh"), 1);
    EXPECT_EQ(sorted.GetGroup(-1), nullptr);
}

TEST_F(AccountGroupsTest, OverlapsFindsAnySharedCode) {
    // Ranges against 100 to 200 (touching ends share a code), and whether they overlap.
    const int cases[][5] = {{150, 250, 0, 0, 1}, {50, 100, 0, 0, 1},   {200, 300, 0, 0, 1},
                            {50, 300, 0, 0, 1},  {1, 99, 201, 999, 0}, {1, 99, 199, 999, 1}};
    const auto base = List({{100, 200}});
    for (const auto& c : cases) {
        const auto other = c[2] ? List({{c[0], c[1]}, {c[2], c[3]}}) : List({{c[0], c[1]}});
        EXPECT_EQ(base->Overlaps(other.get()), c[4] == 1) << c[0] << " " << c[1] << " " << c[2];
        EXPECT_EQ(other->Overlaps(base.get()), c[4] == 1) << c[0] << " " << c[1] << " " << c[2];
    }
    EXPECT_FALSE(base->Overlaps(nullptr));
}

TEST_F(AccountGroupsTest, AssignAndDescriptions) {
    TAccountGroups source(Format.get());
    auto group = Range(100, 200, -1, "Sales");
    group->Mode = 1;
    source.AddGroup("whatever", std::move(group));
    auto list = List({{1, 2}});
    list->Assign(source);
    EXPECT_EQ(Plain->Mask, "AAAA") << "the format shared by other files is not rewritten";
    EXPECT_EQ(list->Format, Format.get());
    EXPECT_EQ(list->AsText() + list->GetKey(0), "01-0100 to 01-0200Sales");
    EXPECT_EQ(list->GetGroup(0)->Mode * 1000 + list->HighestAccount, 1200);

    list = List({{1, 2}, {3, 4}, {5, 6}});
    auto descriptions = [&] {
        return list->GetGroup(0)->Description + "|" + list->GetGroup(1)->Description + "|" +
               list->GetGroup(2)->Description;
    };
    list->SetGroupDescriptions("  Cash , ,Debtors  ", 7);
    EXPECT_EQ(descriptions(), "Cash|<Blank>|Debtors");
    list->SetGroupDescriptions(" All, of it ", 8);
    EXPECT_EQ(descriptions(), "All, of it|<Blank>|Debtors");
    list->SetGroupDescriptions("  ", 8);
    for (int kind : {6, 9})
        list->SetGroupDescriptions("X,Y,Z", kind);
    EXPECT_EQ(descriptions(), "<Blank>|<Blank>|Debtors");
}
