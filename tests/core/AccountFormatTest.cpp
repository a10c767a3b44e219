#include "core/accounts/AccountFormat.h"

#include "tests/core/AccountTestFormats.h"
#include "tests/support/ServicesFixture.h"

#include <gtest/gtest.h>

namespace {

class AccountFormatTest : public TServicesFixture {
protected:
    std::unique_ptr<TAccountFormat> Format = BranchAccountSubFormat();

    TAccountCode Read(const QString& text, bool clamp = false, bool report = false, bool* valid = nullptr) {
        TAccountCode code = MakeCode(9, 9, 9, 9);
        const bool ok = Format->TextToCode(text, code, clamp, report);
        if (valid)
            *valid = ok;
        return code;
    }
};

} // namespace

// --- Masks ---------------------------------------------------------------------------------

TEST_F(AccountFormatTest, MaskWithBranchAccountAndSubAccount) {
    const TAccountFormat& f = *Format;
    EXPECT_EQ(f.PartCount, 3);
    EXPECT_EQ(f.DisplayOrder, (std::array<quint8, 5>{3, 1, 2, 0, 0}));
    EXPECT_EQ(f.KeyOrder, f.DisplayOrder);
    EXPECT_EQ(f.Separators[0], QChar(0));
    EXPECT_EQ(f.Separators[BranchPart], QChar(u'-'));
    EXPECT_EQ(f.Separators[AccountPart], QChar(u'-'));
    EXPECT_EQ(f.Separators[SubAccountPart], QChar(TAccountFormat::EndOfMask));
    EXPECT_EQ(f.Separators[DivisionPart], QChar(0));
    EXPECT_EQ(f.Widths[BranchPart], 2);
    EXPECT_EQ(f.Widths[AccountPart], 4);
    EXPECT_EQ(f.Widths[SubAccountPart], 2);
    EXPECT_EQ(f.Widths[DivisionPart], 0);
    EXPECT_EQ(f.Starts[BranchPart], 1);
    EXPECT_EQ(f.Starts[AccountPart], 4);
    EXPECT_EQ(f.Starts[SubAccountPart], 9);
    EXPECT_EQ(f.Starts[DivisionPart], 0);
    EXPECT_EQ(f.GetSeparatorSet(), QStringLiteral("-"));
}

TEST_F(AccountFormatTest, UnderscoreInMaskIsABlankSeparator) {
    TAccountFormat f(QStringLiteral("X"), QStringLiteral("BB_AAAA"), QString(), QString());
    EXPECT_EQ(f.Mask, QStringLiteral("BB AAAA"));
    EXPECT_EQ(f.Separators[BranchPart], QChar(u' '));
    EXPECT_EQ(f.FormatCode(MakeCode(1, -1, 234, -1)), QStringLiteral("01 0234"));
    TAccountCode code;
    EXPECT_TRUE(f.TextToCode(QStringLiteral("01 0234"), code, false, false));
    EXPECT_EQ(code, MakeCode(1, -1, 234, -1));
}

TEST_F(AccountFormatTest, AdjacentPartsHaveNoSeparatorAndAreSplitByWidth) {
    TAccountFormat f(QStringLiteral("X"), QStringLiteral("DDAAAA"), QString(), QString());
    EXPECT_EQ(f.DisplayOrder, (std::array<quint8, 5>{4, 1, 0, 0, 0}));
    EXPECT_EQ(f.Separators[DivisionPart], QChar(0));
    EXPECT_EQ(f.Separators[AccountPart], QChar(TAccountFormat::EndOfMask));
    EXPECT_TRUE(f.GetSeparatorSet().isEmpty());
    EXPECT_EQ(f.FormatCode(MakeCode(-1, 3, 234, -1)), QStringLiteral("030234"));

    TAccountCode code;
    EXPECT_TRUE(f.TextToCode(QStringLiteral("030234"), code, false, false));
    EXPECT_EQ(code, MakeCode(-1, 3, 234, -1));
    EXPECT_TRUE(f.TextToCode(QStringLiteral("0234"), code, false, false));
    EXPECT_EQ(code, MakeCode(-1, -1, 234, -1));
}

// --- Display texts and keys ----------------------------------------------------------------

TEST_F(AccountFormatTest, FormatCodeLeavesOutMissingPartsWithTheirSeparators) {
    EXPECT_EQ(Format->FormatCode(MakeCode(1, -1, 234, -1)), QStringLiteral("01-0234"));
    EXPECT_EQ(Format->FormatCode(MakeCode(1, -1, 234, 5)), QStringLiteral("01-0234-05"));
    EXPECT_EQ(Format->FormatCode(MakeCode(-1, -1, 234, 5)), QStringLiteral("0234-05"));
    EXPECT_EQ(Format->FormatCode(MakeCode(1, -1, -1, 5)), QStringLiteral("01-05"));
    EXPECT_EQ(Format->FormatCode(TAccountCode::Empty()), QString());
    EXPECT_EQ(Format->FormatCode(MakeCode(1, -1, 12345, -1)),
              QStringLiteral("01-12345")); // width is a minimum
}

TEST_F(AccountFormatTest, KeysCarryLettersAndDotsAndSortInCodeOrder) {
    EXPECT_EQ(Format->MakeCodeKey(MakeCode(1, -1, 234, -1)), QStringLiteral("B01A0234S.."));
    // A missing part sorts before every present value.
    const TAccountCode ordered[] = {MakeCode(-1, -1, 9999, 99), MakeCode(1, -1, 234, -1),
                                    MakeCode(1, -1, 234, 0),    MakeCode(1, -1, 234, 5),
                                    MakeCode(1, -1, 235, -1),   MakeCode(2, -1, 1, 0)};
    for (std::size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(Format->MakeCodeKey(ordered[i - 1]), Format->MakeCodeKey(ordered[i])) << i;
}

TEST_F(AccountFormatTest, KeyOrderTextOfThePartCountReordersTheKey) {
    TAccountFormat byAccount(QStringLiteral("X"), QStringLiteral("BB-AAAA-SS"), QStringLiteral("ASB"),
                             QString());
    EXPECT_EQ(byAccount.MakeCodeKey(MakeCode(1, -1, 234, -1)), QStringLiteral("A0234S..B01"));
    // Display order unchanged.
    EXPECT_EQ(byAccount.FormatCode(MakeCode(1, -1, 234, -1)), QStringLiteral("01-0234"));

    TAccountFormat tooShort(QStringLiteral("X"), QStringLiteral("BB-AAAA-SS"), QStringLiteral("AS"),
                            QString());
    EXPECT_EQ(tooShort.MakeCodeKey(MakeCode(1, -1, 234, -1)), QStringLiteral("B01A0234S.."));
}

// --- Typed codes -----------------------------------------------------------------------------

TEST_F(AccountFormatTest, ShortTextWithoutSeparatorIsTheAccount) {
    bool valid = false;
    EXPECT_EQ(Read(QStringLiteral(" 234 "), false, false, &valid), MakeCode(-1, -1, 234, -1));
    EXPECT_TRUE(valid);
}

TEST_F(AccountFormatTest, FormattedCodesReadBackUnchanged) {
    // (A code without its branch but with a sub-account does not: see the next test.)
    for (const TAccountCode& code :
         {MakeCode(1, -1, 234, -1), MakeCode(1, -1, 234, 5), MakeCode(20, -1, 9999, 99),
          MakeCode(-1, -1, 1, -1), MakeCode(1, -1, 1, 0)}) {
        bool valid = false;
        EXPECT_EQ(Read(Format->FormatCode(code), false, false, &valid), code)
            << Format->FormatCode(code).toStdString();
        EXPECT_TRUE(valid);
    }
}

TEST_F(AccountFormatTest, LeadingPartWithItsSeparatorIsTakenAsTheBranch) {
    // A text with a separator fills the branch first, so "0234-05" names branch 234.
    Prompt->Answer(TMessageButton::OK);
    bool valid = true;
    EXPECT_EQ(Read(QStringLiteral("0234-05"), false, true, &valid), MakeCode(234, -1, 5, -1));
    EXPECT_FALSE(valid);
    EXPECT_EQ(Prompt->Texts(), QStringList{QStringLiteral("Branches must be in the range 1 to 20")});
}

TEST_F(AccountFormatTest, BranchOutsideAllWithoutReportGivesTheEmptyCode) {
    bool valid = true;
    EXPECT_EQ(Read(QStringLiteral("25-0234-00"), false, false, &valid), TAccountCode::Empty());
    EXPECT_FALSE(valid);
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(AccountFormatTest, BranchOutsideAllWithReportKeepsTheTypedPartsAndShowsTheBox) {
    Prompt->Answer(TMessageButton::OK);
    bool valid = true;
    EXPECT_EQ(Read(QStringLiteral("25-0234-00"), false, true, &valid), MakeCode(25, -1, 234, 0));
    EXPECT_FALSE(valid);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(Prompt->Shown[0].Text, QStringLiteral("Branches must be in the range 1 to 20"));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
}

TEST_F(AccountFormatTest, BranchOutsideAllWithReportAndClampClearsTheBranch) {
    Prompt->Answer(TMessageButton::OK);
    bool valid = true;
    EXPECT_EQ(Read(QStringLiteral("25-0234-00"), true, true, &valid), MakeCode(-1, -1, 234, 0));
    EXPECT_FALSE(valid);
}

TEST_F(AccountFormatTest, AccountTooLargeForAPartIsRejectedNotWrapped) {
    // 65769 would wrap to 233 in sixteen bits, a valid but wrong account.
    bool valid = true;
    EXPECT_EQ(Read(QStringLiteral("01-65769-00"), false, false, &valid), TAccountCode::Empty());
    EXPECT_FALSE(valid);

    Prompt->Answer(TMessageButton::OK);
    const TAccountCode reported = Read(QStringLiteral("01-65769-00"), false, true, &valid);
    EXPECT_FALSE(valid);
    EXPECT_EQ(reported, MakeCode(1, -1, -1, 0));
    EXPECT_EQ(Prompt->Texts(), QStringList{QStringLiteral("Accounts must be in the range 1 to 9999")});
}

TEST_F(AccountFormatTest, PartLimitWithoutAllRange) {
    auto plain = AccountOnlyFormat(false);
    TAccountCode code;
    EXPECT_TRUE(plain->TextToCode(QStringLiteral("32767"), code, false, true));
    EXPECT_EQ(code.Account, 32767);
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("32768"), code, false, false));
    EXPECT_EQ(code, TAccountCode::Empty());
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("99999999999"), code, false, false));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(AccountFormatTest, SignsAndLettersAreNotNumbers) {
    auto plain = AccountOnlyFormat(false);
    TAccountCode code;
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("-5"), code, false, false));
    EXPECT_EQ(code, TAccountCode::Empty());
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("+5"), code, false, false));
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("12a"), code, false, false));
    EXPECT_FALSE(plain->TextToCode(QString(), code, false, false));

    auto checked = AccountOnlyFormat(true);
    EXPECT_FALSE(checked->TextToCode(QStringLiteral("-5"), code, false, false));
    EXPECT_EQ(code, TAccountCode::Empty());
}

// --- Range checks ----------------------------------------------------------------------------

TEST_F(AccountFormatTest, ValidateCodeShowsOneBoxWithALinePerBadPart) {
    Prompt->Answer(TMessageButton::OK);
    TAccountCode code = MakeCode(21, -1, 10000, 5);
    EXPECT_FALSE(Format->ValidateCode(code, true, false));
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, QStringLiteral("Branches must be in the range 1 to 20\n"
                                                    "Accounts must be in the range 1 to 9999"));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(code, MakeCode(21, -1, 10000, 5)) << "nothing cleared without ClearInvalid";
}

TEST_F(AccountFormatTest, ValidateCodeClearsInvalidPartsQuietly) {
    TAccountCode code = MakeCode(21, -1, 10000, 5);
    EXPECT_FALSE(Format->ValidateCode(code, false, true));
    EXPECT_EQ(code, MakeCode(-1, -1, -1, 5));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

TEST_F(AccountFormatTest, ValidateCodeAcceptsAbsentOptionalPartsButNotAnAbsentAccount) {
    TAccountCode code = MakeCode(-1, -1, 1, -1);
    EXPECT_TRUE(Format->ValidateCode(code, false, false));
    code = MakeCode(1, -1, -1, 0);
    EXPECT_FALSE(Format->ValidateCode(code, false, false));
}

TEST_F(AccountFormatTest, DivisionAndSubAccountLinesNameTheirParts) {
    TAccountFormat f(QStringLiteral("X"), QStringLiteral("DD-AAAA-SS"), QString(), QString());
    AddAllRange(f, MakeCode(-1, -1, 1, -1), MakeCode(-1, 10, 9999, 50));
    Prompt->Answer(TMessageButton::OK);
    TAccountCode code = MakeCode(-1, 11, 1, 51);
    EXPECT_FALSE(f.ValidateCode(code, true, true));
    // Lower limits of optional parts are shown as at least 0.
    EXPECT_EQ(Prompt->Texts(), QStringList{QStringLiteral("Divisions must be in the range 0 to 10\n"
                                                          "Sub-accounts must be in the range 0 to 50")});
    EXPECT_EQ(code, MakeCode(-1, -1, 1, -1));
}

TEST_F(AccountFormatTest, FormatWithoutAllRangeAcceptsEveryCode) {
    auto plain = AccountOnlyFormat(false);
    TAccountCode code = MakeCode(-1, -1, -1, -1);
    EXPECT_TRUE(plain->ValidateCode(code, true, true));
    TAccountCode read;
    EXPECT_TRUE(plain->TextToCode(QStringLiteral("12"), read, false, true));
    EXPECT_EQ(read, MakeCode(-1, -1, 12, -1));
    EXPECT_FALSE(plain->TextToCode(QStringLiteral("abc"), read, false, true));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
}

// --- Format object ---------------------------------------------------------------------------

TEST_F(AccountFormatTest, AssignCopiesTheLayoutOnly) {
    TAccountFormat copy(QStringLiteral("OTHER"), QStringLiteral("AAAAA"), QString(), QStringLiteral("Mine"));
    Format->TessalyID = QStringLiteral("T1");
    copy.Assign(*Format);
    EXPECT_EQ(copy.TessalyID, QStringLiteral("T1"));
    EXPECT_EQ(copy.Description, QStringLiteral("Mine"));
    EXPECT_EQ(copy.Ranges.Count(), 0);
    EXPECT_EQ(copy.MakeCodeKey(MakeCode(1, -1, 234, -1)), QStringLiteral("B01A0234S.."));
}
