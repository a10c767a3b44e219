#include "tests/core/EntityTestSupport.h"

#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"

#include <QTest>

namespace {

class FileCodeRulesTest : public TEntityFixture {};

// What the code edits keep of typed text: the mask's dropped characters, the characters that
// would reach outside the file's own names and control characters go; letters go upper case; at
// most six stay.
TEST_F(FileCodeRulesTest, TypedTextKeepsOnlyCodeCharacters) {
    const std::pair<QString, QString> cases[] = {
        {"ab c.12", "ABC12"},
        {"AB/CD.", "ABCD"},
        {"a\\b:c*d?e\"f", "ABCDEF"},
        {"<x>|y%(z)[w]", "XYZW"},
        {QString("ab\tc\x7f"
                 "d"),
         "ABCD"},
        {"abc_12-9xyz", "ABC_12"},
        {"é1234567", "É12345"},
    };
    for (const auto& [typed, kept] : cases)
        EXPECT_EQ(TFileCodeRules::Filter(typed), kept) << typed.toStdString();
    EXPECT_EQ(TFileCodeRules::CodeOfText(" AB_C1_ "), "AB C1");
}

// A code is six characters; one for a new file must not have a record yet, in any case.
TEST_F(FileCodeRulesTest, ACodeIsSixCharactersAndANewOneIsNotTaken) {
    ASSERT_TRUE(WriteFileBytes(DataDir + "/abc123.cfg", "[CONFIGURATION]\r\nCode=ABC123\r\n"));
    EXPECT_EQ(TFileCodeRules::Check("ABC12", true), TFileCodeRules::LengthText);
    EXPECT_EQ(TFileCodeRules::Check("ABC1234", false), TFileCodeRules::LengthText);
    EXPECT_EQ(TFileCodeRules::Check("AB/123", false), TFileCodeRules::LengthText);
    EXPECT_EQ(TFileCodeRules::Check("ABC123", true), TFileCodeRules::ExistsText);
    EXPECT_EQ(TFileCodeRules::Check("ABC123", false), QString());
    EXPECT_EQ(TFileCodeRules::Check("ABC124", true), QString());
    EXPECT_TRUE(TFileCodeRules::RecordExists("Abc123"));
}

// The edit applies the filter to typed and pasted text alike.
TEST_F(FileCodeRulesTest, TheEditFiltersWhatIsTypedOrPasted) {
    TFileCodeEdit edit;
    QTest::keyClicks(&edit, "ab c.12");
    EXPECT_EQ(edit.text(), "ABC12");
    EXPECT_EQ(edit.Code(), "ABC12");
    QTest::keyClicks(&edit, "3/4");
    EXPECT_EQ(edit.text(), "ABC123");
    edit.clear();
    edit.insert("x:y\\z..q?r*s");
    EXPECT_EQ(edit.text(), "XYZQRS");
}

} // namespace
