#include "tests/core/AccountTestFormats.h"

#include <gtest/gtest.h>

namespace {

class AccountFormatTest : public TAccountsFixture {
protected:
    // Divisions up to 10, accounts 1 to 9999, sub-accounts up to 50; accounts 1 to 50000.
    std::unique_ptr<TAccountFormat> Divisions =
        WithAll(MakeFormat("DD-AAAA-SS"), Acc(1), MakeCode(-1, 10, 9999, 50));
    std::unique_ptr<TAccountFormat> Wide = WithAll(MakeFormat("AAAAA"), Acc(1), Acc(50000));
    std::unique_ptr<TAccountFormat> Blank = MakeFormat("BB_AAAA");
    std::unique_ptr<TAccountFormat> Adjacent = MakeFormat("DDAAAA");
};

// The parts in display order: letter, start, ":", width and separator ("+" none, "$" end of mask).
QString Layout(const TAccountFormat& f) {
    QString text;
    for (int slot = 0; slot < f.PartCount; ++slot) {
        const int part = f.DisplayOrder[slot];
        const QChar sep = f.Separators[part] == QChar(0) ? QChar(u'+') : f.Separators[part];
        text += QStringLiteral("%1%2:%3%4 ")
                    .arg(QLatin1Char(AccountPartLetter(part)))
                    .arg(f.Starts[part])
                    .arg(f.Widths[part])
                    .arg(sep == QChar(255) ? QChar(u'$') : sep);
    }
    for (quint8 part : f.KeyOrder)
        if (part != 0)
            text += QLatin1Char(AccountPartLetter(part));
    return text + u' ' + f.GetSeparatorSet();
}

} // namespace

TEST_F(AccountFormatTest, MasksGiveStartsWidthsSeparatorsAndOrders) {
    // Mask, key order, layout with key letters and separator set; a key order of another length
    // than the part count is ignored, an unknown letter drops out.
    const char* const cases[][3] = {{"BB-AAAA-SS", "", "B1:2- A4:4- S9:2$ BAS -"},
                                    {"BB_AAAA", "", "B1:2  A4:4$ BA  "},
                                    {"DDAAAA", "", "D1:2+ A3:4$ DA "},
                                    {"AAAA", "", "A1:4$ A "},
                                    {"SS.AAAA/DD-B", "", "S1:2. A4:4/ D9:2- B12:1$ SADB /.-"},
                                    {"BB-AAAA-SS", "ASB", "B1:2- A4:4- S9:2$ ASB -"},
                                    {"BB-AAAA-SS", "AXB", "B1:2- A4:4- S9:2$ AB -"},
                                    {"BB-AAAA-SS", "AS", "B1:2- A4:4- S9:2$ BAS -"},
                                    {"BB-AAAA-SS", "ASBD", "B1:2- A4:4- S9:2$ BAS -"}};
    for (const auto& c : cases)
        EXPECT_EQ(Layout(*MakeFormat(c[0], c[1])), QString::fromLatin1(c[2])) << c[0] << " " << c[1];
    EXPECT_EQ(Blank->Mask, "BB AAAA");
}

TEST_F(AccountFormatTest, FormatCodeAndKeyLeaveOutMissingParts) {
    // The width is a minimum: a longer number is written in full.
    const std::tuple<TAccountCode, const char*, const char*> cases[] = {
        {MakeCode(1, -1, 234, -1), "01-0234", "B01A0234S.."},
        {MakeCode(1, -1, 234, 5), "01-0234-05", "B01A0234S05"},
        {MakeCode(-1, -1, 234, 5), "0234-05", "B..A0234S05"},
        {MakeCode(1, -1, -1, 5), "01-05", "B01A....S05"},
        {TAccountCode::Empty(), "", "B..A....S.."},
        {MakeCode(0, -1, 0, 0), "00-0000-00", "B00A0000S00"},
        {MakeCode(1, -1, 40000, -1), "01-40000", "B01A40000S.."}};
    for (const auto& [code, text, key] : cases) {
        EXPECT_EQ(Format->FormatCode(code), text);
        EXPECT_EQ(Format->MakeCodeKey(code), key) << text;
    }
    EXPECT_EQ(MakeFormat("BB-AAAA-SS", "ASB")->MakeCodeKey(MakeCode(1, -1, 234, -1)), "A0234S..B01");
    EXPECT_EQ(Adjacent->FormatCode(MakeCode(-1, 3, 234, -1)), "030234");
    // Keys sort in code order; a missing part before every present value.
    const TAccountCode ordered[] = {Acc(9999), MakeCode(1, -1, 234, -1), MakeCode(1, -1, 234, 0),
                                    MakeCode(1, -1, 235, -1), MakeCode(2, -1, 1, 0)};
    for (std::size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(Format->MakeCodeKey(ordered[i - 1]), Format->MakeCodeKey(ordered[i])) << i;
}

TEST_F(AccountFormatTest, TypedCodes) {
    const TAccountFormat *bas = Format.get(), *plain = Plain.get(), *bare = Bare.get();
    const char* branches = "Branches must be in the range 1 to 20";
    // Format, text, clamp, report; valid, the code, the box shown. A separator fills the branch
    // first; a number too large for a part is refused, not wrapped. The range's edges are
    // checked by ValidateCode.
    const std::tuple<const TAccountFormat*, const char*, bool, bool, bool, TAccountCode, const char*>
        cases[] = {{bas, " 234 ", false, false, true, Acc(234), ""},
                   {bas, "0234-05", false, true, false, MakeCode(234, -1, 5, -1), branches},
                   {bas, "21-0234-00", false, false, false, TAccountCode::Empty(), ""},
                   {bas, "21-0234-00", false, true, false, MakeCode(21, -1, 234, 0), branches},
                   {bas, "00-0234-00", true, true, false, MakeCode(-1, -1, 234, 0), branches},
                   {bas, "01-10000-00", false, true, false, MakeCode(1, -1, 10000, 0), AccountsRange},
                   {bas, "01-65769-00", false, true, false, MakeCode(1, -1, -1, 0), AccountsRange},
                   {plain, "0", false, false, false, TAccountCode::Empty(), ""},
                   {plain, "-5", false, false, false, TAccountCode::Empty(), ""},
                   {bare, "65534", false, true, true, Acc(65534), ""},
                   {bare, "65535", false, false, false, TAccountCode::Empty(), ""},
                   {bare, "12a", false, true, false, TAccountCode::Empty(), ""},
                   {Blank.get(), "01 0234", false, false, true, MakeCode(1, -1, 234, -1), ""},
                   {Adjacent.get(), "030234", false, false, true, MakeCode(-1, 3, 234, -1), ""},
                   {Adjacent.get(), "0234", false, false, true, Acc(234), ""}};
    for (const auto& [format, text, clamp, report, valid, expected, box] : cases) {
        SCOPED_TRACE(text);
        ExpectBox(box);
        TAccountCode code = MakeCode(9, 9, 9, 9);
        EXPECT_EQ(format->TextToCode(text, code, clamp, report), valid);
        EXPECT_EQ(code, expected);
        CheckBox();
    }
}

TEST_F(AccountFormatTest, ValidateCodeAgainstTheAllRange) {
    const TAccountFormat* bas = Format.get();
    const char* twoLines = "Branches must be in the range 1 to 20\nAccounts must be in the range 1 to 9999";
    // Format, code, show the box, clear invalid parts; valid, the code after, the box. Lower
    // limits of optional parts are shown as at least 0.
    const std::tuple<const TAccountFormat*, TAccountCode, bool, bool, bool, TAccountCode, const char*>
        cases[] = {
            {bas, MakeCode(1, -1, 1, 0), true, true, true, MakeCode(1, -1, 1, 0), ""},
            {bas, MakeCode(20, -1, 9999, 99), true, true, true, MakeCode(20, -1, 9999, 99), ""},
            {bas, MakeCode(1, -1, -1, 0), false, false, false, MakeCode(1, -1, -1, 0), ""},
            {bas, MakeCode(1, -1, 1, 100), false, true, false, MakeCode(1, -1, 1, -1), ""},
            {bas, MakeCode(0, -1, 1, 0), false, true, false, MakeCode(-1, -1, 1, 0), ""},
            {bas, MakeCode(21, -1, 10000, 5), true, false, false, MakeCode(21, -1, 10000, 5), twoLines},
            {bas, MakeCode(21, -1, 10000, 5), false, true, false, MakeCode(-1, -1, -1, 5), ""},
            {Divisions.get(), MakeCode(-1, 11, 1, 51), true, true, false, Acc(1),
             "Divisions must be in the range 0 to 10\nSub-accounts must be in the range 0 to 50"},
            {Wide.get(), Acc(40000), true, true, true, Acc(40000), ""},
            {Wide.get(), Acc(50001), false, false, false, Acc(50001), ""},
            {Bare.get(), TAccountCode::Empty(), true, true, true, TAccountCode::Empty(), ""}};
    for (const auto& [format, original, show, clear, valid, after, box] : cases) {
        SCOPED_TRACE(format->FormatCode(original).toStdString());
        ExpectBox(box);
        TAccountCode code = original;
        EXPECT_EQ(format->ValidateCode(code, show, clear), valid);
        EXPECT_EQ(code, after);
        CheckBox();
    }
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>(2, TBeep::Error));
}

TEST_F(AccountFormatTest, AssignCopiesTheLayoutOnly) {
    auto copy = MakeFormat("AAAAA");
    copy->Description = "Mine";
    Format->TessalyID = "T1";
    copy->Assign(*Format);
    EXPECT_EQ(copy->TessalyID + copy->Description, "T1Mine");
    EXPECT_EQ(copy->Ranges.Count(), 0);
    EXPECT_EQ(Layout(*copy), Layout(*Format));
}
