// The backup and transfer window names the archive a transfer out wrote, so that the main window's
// watch of the transfer folders knows it as the program's own.
#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/vocab/ProcessKinds.h"
#include "shell/backup/BackupRestore.h"
#include "shell/backup/BackupRestoreProcess.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace {

// File ABC123 (year to June 2006) open with its chart; drive B stands for a folder of the test.
class OwnTransferArchiveTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        ASSERT_TRUE(QDir().mkpath(TempPath("B")));
        Files->MapDrive(u'B', TempPath("B"));
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
    }
    void TearDown() override {
        if (File)
            File->Close();
        File.reset();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }
    // The window for the block, run on drive B with OK pressed.
    bool RunOnB(TReportSetup& setup) {
        TBackupRestoreWindow window(nullptr, [](QDialog& dialog) {
            auto& form = static_cast<TfmBackupRestore&>(dialog);
            form.cboDrive->setCurrentIndex(form.cboDrive->findData(QChar(u'B')));
            form.CheckDrive();
            form.btnOKClick();
            return form.result();
        });
        return window.Run(*File, setup);
    }

    std::unique_ptr<TEntityInfo> File;
};

} // namespace

// Each transfer out leaves the archive it wrote in the block; a transfer out that replaced nothing
// (the user kept the older archive) and a backup name none.
TEST_F(OwnTransferArchiveTest, ATransferOutNamesTheArchiveItWrote) {
    using B = TMessageButton;
    const struct {
        const char* Name;
        int Process;
        QList<B> Answers;
        bool Done, Named;
    } cases[] = {
        {"to the client", prTransferToClient, {B::OK}, true, true},
        {"to the accountant, replacing", prTransferToAccountant, {B::Yes, B::OK}, true, true},
        {"to the client, kept", prTransferToClient, {B::Cancel, B::OK}, false, false},
        {"backup", prBackup, {B::OK}, true, false},
    };
    TReportSetup transfer(File->RunFile(2006), 0, prTransferToClient, 2006, false);
    const QString archive = TBackupRestoreProcess(*File, transfer).TransferArchive(u'B');
    ASSERT_TRUE(archive.startsWith(TempPath("B")));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TReportSetup setup(File->RunFile(2006), 0, c.Process, 2006, false);
        for (const B answer : c.Answers)
            Prompt->Answer(answer);
        EXPECT_EQ(RunOnB(setup), c.Done);
        EXPECT_TRUE(QFileInfo(archive).isFile());
        EXPECT_EQ(setup.OutputText, c.Named ? archive : QString());
    }
}
