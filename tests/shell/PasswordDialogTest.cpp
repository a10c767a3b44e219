#include "tests/shell/DesktopTestSupport.h"

#include "shell/desktop/DesktopOpener.h"
#include "shell/password/PasswordDlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

// Through the program's opener and its prompt: a wrong password is refused and the file's lock
// released; the right one typed in lower case opens the file.
TEST_F(DesktopTest, ThePasswordPromptRefusesAWrongPasswordAndReleasesTheLock) {
    WriteRecord("PWD001", "SECRET");
    WriteChart("PWD001");
    TDesktopOpener opener;
    TDesktop desktop(opener, *this);
    QStringList captions;
    for (const bool right : {false, true}) {
        QTimer::singleShot(0, [&captions, right] {
            auto* dialog = qobject_cast<TPasswordDlg*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog && dialog->PasswordEdit()->echoMode() == QLineEdit::Password);
            captions << dialog->windowTitle();
            dialog->PasswordEdit()->setText(right ? "secret" : "wrong");
            dialog->accept();
        });
        if (!right)
            Prompt->Answer(TMessageButton::OK);
        EXPECT_EQ(desktop.OpenFileOnDesktop("PWD001", true, true, true, false), right ? 0 : -1);
        EXPECT_EQ(LockOf("PWD001"), right ? "1" : "0");
    }
    EXPECT_EQ(Prompt->Texts(), QStringList({TDesktop::WrongPasswordText.arg("PWD001")}));
    EXPECT_EQ(captions, QStringList({"Access password for : PWD001", "Access password for : PWD001"}));
}
