#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/entity/EntityInfo.h"
#include "shell/desktop/DesktopOpener.h"
#include "shell/password/PasswordDlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

namespace {

// The password prompt as the desktop shows it, answered by a step run once it is up.
class PasswordDialogTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        QByteArray bytes = SmallRecord("0", "", "Code=PWD001");
        bytes.replace("Type=", "AccessPw=SECRET\r\nType=");
        ASSERT_TRUE(WriteFileBytes(RecordPath("PWD001"), bytes));
    }
    // Types the text (nothing: presses Cancel) into the next password prompt.
    void AnswerNextPrompt(std::optional<QString> text) {
        QTimer::singleShot(0, [this, text] {
            auto* dialog = qobject_cast<TPasswordDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            Captions << dialog->windowTitle();
            EXPECT_EQ(dialog->PasswordEdit()->echoMode(), QLineEdit::Password);
            if (!text)
                return dialog->reject();
            dialog->PasswordEdit()->setText(*text);
            dialog->accept();
        });
    }
    QString LockOf() const {
        return TIniFile(RecordPath("PWD001")).ReadString("CONFIGURATION", "Locked", "?");
    }

    QStringList Captions;
};

} // namespace

TEST_F(PasswordDialogTest, TheCaptionNamesWhatThePasswordIsForAndTheFile) {
    auto detail = TEntityDetail::Create("PWD001", {Standard, Load, NoLock});
    for (const auto& [kind, caption] :
         {std::pair(1, "Access password for : PWD001"), std::pair(2, "Import password for : PWD001")}) {
        AnswerNextPrompt("abc");
        EXPECT_EQ(TPasswordDlg::Ask(*detail, kind, nullptr), QString("abc")); // as typed
        EXPECT_EQ(Captions.takeLast(), caption);
    }
    AnswerNextPrompt(std::nullopt);
    EXPECT_EQ(TPasswordDlg::Ask(*detail, TPasswordDlg::Access, nullptr), std::nullopt);
}

// Through the program's opener: a wrong password is refused and the file's lock released; the
// right one typed in lower case opens the file.
TEST_F(PasswordDialogTest, TheDesktopRefusesAWrongPasswordAndReleasesTheLock) {
    TDesktopOpener opener;
    IDesktopView view;
    TDesktop desktop(opener, view);
    AnswerNextPrompt("wrong");
    Prompt->OnShow = [this] { EXPECT_EQ(LockOf(), "0"); }; // released before the box
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(desktop.OpenFileOnDesktop("PWD001", true, true, true, false), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList({TDesktop::WrongPasswordText.arg("PWD001")}));
    EXPECT_EQ(LockOf(), "0");
    Prompt->OnShow = nullptr;

    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/PWD00106.ADF", StoredChart("accounts", "header", {})));
    AnswerNextPrompt("secret");
    EXPECT_EQ(desktop.OpenFileOnDesktop("PWD001", true, true, true, false), 0);
    EXPECT_EQ(LockOf(), "1");
    EXPECT_EQ(Captions, QStringList({"Access password for : PWD001", "Access password for : PWD001"}));
}
