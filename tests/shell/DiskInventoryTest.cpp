#include "shell/inventory/DiskInventory.h"
#include "core/io/IniFile.h"
#include "platform/zip/ZipFile.h"
#include "shell/desktop/Desktop.h"
#include "shell/inventory/fmDiskInventory.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/FileCommands.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/shutdown/BackupAnswer.h"
#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QtWidgets>
#include <functional>

namespace {

const QByteArray OldChart = "stale chart of a file deleted long ago";

// Drive T holds the transfer folder; drive D is the test's folder, so the data folder lies on D
// and a new file's backup and transfer folders are D's.
class DiskInventoryTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        Files->MapDrive('T', TempPath("tdrive"));
        Files->MapDrive('D', Temp.path());
        TransferDir = TempPath("tdrive/QUILVANE/TRANSFER");
        ASSERT_TRUE(QDir().mkpath(TransferDir));
    }

    // The record of ACME01 as the sender's system holds it: its own folders, a later year, and
    // the lock the sender held while making the transfer.
    static QByteArray SenderRecord(const QString& code = "ACME01", const QString& format = "QUILVANE") {
        return "[CONFIGURATION]\r\nCode=" + code.toLatin1() +
               "\r\nType=COY\r\nName=Acme Sender\r\nCreated=732494.5\r\nAccessed=732495.25\r\n"
               "AccFormatID=" +
               format.toLatin1() +
               "\r\nYear=2007\r\nPeriods=12\r\nEndMonth=6\r\nPeriod=1\r\n"
               "DataDir=E:\\SENDER\\DATA\r\nXferDir=E:\\QUILVANE\\TRANSFER\r\n"
               "BackupDir=E:\\QUILVANE\\BACKUPS\r\nExportDir=E:\\SENDER\\EXPORT\r\n"
               "ImportDir=E:\\SENDER\\IMPORT\r\nECIFolder=E:\\ECI\r\n"
               "TransferExportEmailAddress=practice@example.com\r\nLocked=1\r\nLockedBy=SENDERPC\r\n";
    }
    // Everything a transfer of ACME01's 2006 carries, of which a new file takes five.
    static QMap<QString, QByteArray> SenderFiles() {
        return {{"ACME01.CFG", SenderRecord()},
                {"M_DETAIL/ACME0106.ADF", "accounts 2006"},
                {"M_DETAIL/ACME0106.STD", "descriptions 2006"},
                {"M_DETAIL/ACME0106.TXR", "tax rates 2006"},
                {"M_DETAIL/ACME0106.CCR", "currency rates 2006"},
                {"M_DETAIL/ACME0105.ADF", "accounts 2005"},
                {"M_DETAIL/ACME01.RLO", "layouts"},
                {"BANK_REC/ACME0106.BOB", "bank rec"},
                {"ACME01/ACME0106.PA1", "payments"}};
    }
    // Writes the files into a sender's data folder and zips them into the transfer folder.
    void WriteArchive(const QString& name, const QMap<QString, QByteArray>& files,
                      const QString& password = "PZ_HOL") {
        const QString base = TempPath("sender/" + name);
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            ASSERT_TRUE(QDir().mkpath(QFileInfo(base + "/" + it.key()).path()));
            ASSERT_TRUE(WriteFileBytes(base + "/" + it.key(), it.value()));
        }
        TZipFile zip;
        zip.ZipFile = TransferDir + "/" + name;
        zip.BaseFolder = base;
        zip.IncludeOnly = files.keys();
        zip.EncryptCode = password;
        ASSERT_EQ(zip.Create(), 0) << zip.ErrorText().toStdString();
    }
    void Touch(const QString& path, const QByteArray& bytes = "x") {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_TRUE(WriteFileBytes(path, bytes));
    }
    TFileInfo Scanned(const QString& code, int year) {
        TDiskInventory inventory;
        inventory.ScanTransferFiles('T');
        for (const TFileInfo& file : inventory.Files())
            if (file.FileCode == code && file.Year == year)
                return file;
        ADD_FAILURE() << "not listed: " << code.toStdString();
        return {};
    }
    // What the data folder holds, hidden entries included, names relative to it.
    QStringList DataFolderTree() const {
        QStringList names;
        QDirIterator it(DataDir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << QDir(DataDir).relativeFilePath(it.next());
        names.sort();
        return names;
    }
    QString CreatedKey(const QString& key) const {
        return TIniFile(DataDir + "/ACME01.CFG").ReadString("CONFIGURATION", key, "<missing>");
    }

    QString TransferDir;
};

TEST_F(DiskInventoryTest, ReadsArchiveNames) {
    struct TCase {
        const char* Name;
        const char* Code; // nullptr: not an archive name
        int Year;
    };
    const TCase cases[] = {
        {"ACME0106.QTF", "ACME01", 2006},  {"acme0106.qtf", "ACME01", 2006},
        {"A_B_C_89.QTF", "A_B_C_", 2089},  {"ZZZZZZ90.QTF", "ZZZZZZ", 1990},
        {"ACME0100.QTF", "ACME01", 2000},  {"ACME016.QTF", nullptr, 0},
        {"ACME01006.QTF", nullptr, 0},     {"ACME01AB.QTF", nullptr, 0},
        {"ACME-106.QTF", nullptr, 0},      {"ACME0106.QTX", nullptr, 0},
        {"ACME0106.QTF.tmp", nullptr, 0},  {"ACME0106QTF", nullptr, 0},
        {"\u00C4CME0106.QTF", nullptr, 0}, {"ACME01\uFF106.QTF", nullptr, 0},
        {"\u212ACME0106.QTF", nullptr, 0}, {"ACME0106.\uFF31TF", nullptr, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QString code = "junk";
        int year = -1;
        EXPECT_EQ(TDiskInventory::ParseArchiveName(QString::fromUtf8(c.Name), code, year), c.Code != nullptr);
        EXPECT_EQ(code, c.Code ? QString(c.Code) : QString());
        EXPECT_EQ(year, c.Year);
    }
}

// Two years of one code are two rows; other names, folders and links are skipped; a code with a
// record here is not new, one with an empty record is.
TEST_F(DiskInventoryTest, ScanListsEveryArchiveOfTheTransferFolder) {
    for (const char* name : {"ACME0107.qtf", "ACME0106.QTF", "BETA__99.QTF", "ACME0105.QTF", "ACME016.QTF",
                             "ACME0106.ZIP", "NOTES.TXT", "GAMMA106.QTF.bak"})
        Touch(TransferDir + "/" + name);
    ASSERT_TRUE(QDir().mkpath(TransferDir + "/DELTA106.QTF"));
    ASSERT_TRUE(QFile::link(TransferDir + "/ACME0106.QTF", TransferDir + "/LINK0106.QTF"));
    Touch(DataDir + "/ACME01.CFG", "");
    Touch(DataDir + "/BETA__.CFG", SenderRecord("BETA__"));
    const QDateTime written(QDate(2006, 3, 5), QTime(15, 4, 5));
    QFile archive(TransferDir + "/ACME0106.QTF");
    ASSERT_TRUE(archive.open(QIODevice::ReadWrite) &&
                archive.setFileTime(written, QFileDevice::FileModificationTime));
    archive.close();

    TDiskInventory inventory;
    EXPECT_EQ(inventory.ScanTransferFiles('t'), 4);
    QStringList rows;
    for (const TFileInfo& file : inventory.Files())
        rows << QString("%1 %2 %3 %4 %5")
                    .arg(file.FileCode)
                    .arg(file.Year)
                    .arg(file.NewFile ? "new" : "old")
                    .arg(TDiskInventory::TransferFormatName(file.TransferFormat))
                    .arg(QFileInfo(file.Path).fileName());
    EXPECT_EQ(rows, QStringList({"ACME01 2005 new Quilvane 2006 ACME0105.QTF",
                                 "ACME01 2006 new Quilvane 2006 ACME0106.QTF",
                                 "ACME01 2007 new Quilvane 2006 ACME0107.qtf",
                                 "BETA__ 1999 old Quilvane 2006 BETA__99.QTF"}));
    EXPECT_EQ(inventory.Files()[1].Modified, written);
    EXPECT_EQ(TDiskInventory::DateText(inventory.Files()[1].Modified), "05 Mar 2006 15:04:05");
    EXPECT_EQ(TDiskInventory::DateText(QDateTime()), "Unknown");
    EXPECT_EQ(inventory.Drive(), QChar('T'));
}

TEST_F(DiskInventoryTest, DriveWithoutTransferFolderListsNothing) {
    Touch(TempPath("edrive/QUILVANE/ACME0106.QTF"));
    Files->MapDrive('E', TempPath("edrive"));
    Touch(TransferDir + "/ACME0106.QTF");
    TDiskInventory inventory;
    EXPECT_EQ(inventory.ScanTransferFiles('T'), 1);
    for (const QChar drive : {QChar('E'), QChar('Q'), QChar(), QChar('1')}) {
        EXPECT_EQ(inventory.ScanTransferFiles(drive), 0) << QString(drive).toStdString();
        EXPECT_TRUE(inventory.Files().isEmpty());
    }
}

// The new record is this system's: its folders, the archive's year (not the one the record
// held), no lock although the sender's was locked; the four charts come along, nothing else.
TEST_F(DiskInventoryTest, CreateMakesTheFileForThisSystem) {
    WriteArchive("ACME0106.QTF", SenderFiles());
    Touch(DataDir + "/M_DETAIL/ACME0106.ADF", OldChart);
    TDiskInventory inventory;
    QString code;
    ASSERT_EQ(inventory.CreateFile(Scanned("ACME01", 2006), code), 0) << inventory.ErrorText().toStdString();
    EXPECT_EQ(code, "ACME01");

    EXPECT_EQ(CreatedKey("DataDir"), DataDir);
    EXPECT_EQ(CreatedKey("XferDir"), "D:\\QUILVANE\\TRANSFER");
    EXPECT_EQ(CreatedKey("BackupDir"), "D:\\QUILVANE\\BACKUPS");
    EXPECT_EQ(CreatedKey("ExportDir"), "C:\\QUILVANE\\EXPORT");
    EXPECT_EQ(CreatedKey("ImportDir"), "C:\\QUILVANE\\IMPORT");
    EXPECT_EQ(CreatedKey("ECIFolder"), "");
    EXPECT_EQ(CreatedKey("Year"), "2006");
    EXPECT_EQ(CreatedKey("Locked"), "0");
    EXPECT_EQ(CreatedKey("LockedBy"), "");
    EXPECT_EQ(CreatedKey("Name"), "Acme Sender");
    EXPECT_EQ(CreatedKey("TransferExportEmailAddress"), "practice@example.com");
    EXPECT_EQ(TIniFile(DataDir + "/ACME01.CFG").ReadString("BAS 2006", "BASExportFilePath", ""),
              "C:\\QUILVANE\\EXPORT");

    const QMap<QString, QByteArray> sent = SenderFiles();
    for (const char* chart :
         {"M_DETAIL/ACME0106.ADF", "M_DETAIL/ACME0106.STD", "M_DETAIL/ACME0106.TXR", "M_DETAIL/ACME0106.CCR"})
        EXPECT_EQ(ReadFileBytes(DataDir + "/" + chart), sent[chart]) << chart;
    EXPECT_EQ(DataFolderTree(),
              QStringList({"ACME01.CFG", "M_DETAIL", "M_DETAIL/ACME0106.ADF", "M_DETAIL/ACME0106.CCR",
                           "M_DETAIL/ACME0106.STD", "M_DETAIL/ACME0106.TXR"}));
    EXPECT_TRUE(Progress->Log.contains("setup:Reading Transfer File|0|ACME0106.QTF"));
    EXPECT_EQ(Progress->Open, 0);

    // The file now opens here as any other, and is no longer offered.
    const auto opened = TEntityDetail::Create("ACME01", {Standard, NoLock, Load});
    EXPECT_EQ(opened->Year, 2006);
    EXPECT_FALSE(opened->Locked);
    EXPECT_FALSE(Scanned("ACME01", 2006).NewFile);
}

// Whatever fails, the data folder is as it was: no record, no chart, an empty record and a stale
// chart of the code still there, no staging folder left behind.
TEST_F(DiskInventoryTest, FailedCreateLeavesTheDataFolderAsItWas) {
    struct TCase {
        const char* Name;
        std::function<void()> Prepare;
        int Code; // 0: raises
    };
    QMap<QString, QByteArray> chartsOnly = SenderFiles();
    chartsOnly.remove("ACME01.CFG");
    const TCase cases[] = {
        {"wrong password", [this] { WriteArchive("ACME0106.QTF", SenderFiles(), "SECRET"); }, -1},
        {"not a zip", [this] { Touch(TransferDir + "/ACME0106.QTF", "PK\3\4 broken"); }, -1},
        {"no record", [&] { WriteArchive("ACME0106.QTF", chartsOnly); }, ZipResult::NothingMatched},
        {"record of another file",
         [this] {
             QMap<QString, QByteArray> files = SenderFiles();
             files["ACME01.CFG"] = SenderRecord("OTHER1");
             WriteArchive("ACME0106.QTF", files);
         },
         0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QDir(TempPath("tdrive")).removeRecursively();
        QDir(DataDir).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(TransferDir));
        Files->OnProtected = nullptr;
        Touch(DataDir + "/ACME01.CFG", "");
        Touch(DataDir + "/M_DETAIL/ACME0106.ADF", OldChart);
        c.Prepare();
        const QStringList before = DataFolderTree();

        TDiskInventory inventory;
        QString code = "junk";
        if (c.Code == 0) {
            EXPECT_THROW(inventory.CreateFile(Scanned("ACME01", 2006), code), EQuilvaneError);
        } else {
            const int result = inventory.CreateFile(Scanned("ACME01", 2006), code);
            if (c.Code > 0)
                EXPECT_EQ(result, c.Code);
            else
                EXPECT_GT(result, 0);
            EXPECT_FALSE(inventory.ErrorText().isEmpty());
        }
        EXPECT_TRUE(code.isEmpty());
        EXPECT_EQ(DataFolderTree(), before);
        EXPECT_EQ(ReadFileBytes(DataDir + "/ACME01.CFG"), "");
        EXPECT_EQ(ReadFileBytes(DataDir + "/M_DETAIL/ACME0106.ADF"), OldChart);
        EXPECT_FALSE(QFileInfo::exists(DataDir + "/OTHER1.CFG"));
    }
    Files->OnProtected = nullptr;
}

TEST_F(DiskInventoryTest, CreateRefusesACodeThatExistsByNow) {
    WriteArchive("ACME0106.QTF", SenderFiles());
    const TFileInfo listed = Scanned("ACME01", 2006);
    ASSERT_TRUE(listed.NewFile);
    const QByteArray ours = SenderRecord().replace("Acme Sender", "Acme Here");
    Touch(DataDir + "/ACME01.CFG", ours);
    TDiskInventory inventory;
    QString code;
    try {
        inventory.CreateFile(listed, code);
        ADD_FAILURE() << "created over an existing file";
    } catch (const EQuilvaneError& error) {
        EXPECT_EQ(error.message(), "The file ACME01 already exists on this system.");
    }
    EXPECT_EQ(ReadFileBytes(DataDir + "/ACME01.CFG"), ours);
    EXPECT_FALSE(QFileInfo::exists(DataDir + "/M_DETAIL"));
}

TEST_F(DiskInventoryTest, UnregisteredAccountFormatIsShownAndNothingIsCreated) {
    QMap<QString, QByteArray> files = SenderFiles();
    files["ACME01.CFG"] = SenderRecord("ACME01", "NOSUCHFMT");
    WriteArchive("ACME0106.QTF", files);
    Prompt->Answer(TMessageButton::OK);
    TDiskInventory inventory;
    QString code;
    EXPECT_THROW(inventory.CreateFile(Scanned("ACME01", 2006), code), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unregistered account format for this file - Access denied."});
    EXPECT_TRUE(DataFolderTree().isEmpty());
}

TEST_F(DiskInventoryTest, CancelledCreateLeavesNothing) {
    WriteArchive("ACME0106.QTF", SenderFiles());
    Progress->CancelAtUpdate = 1;
    TDiskInventory inventory;
    QString code;
    EXPECT_THROW(inventory.CreateFile(Scanned("ACME01", 2006), code), EOperationCancelled);
    EXPECT_TRUE(DataFolderTree().isEmpty());
}

class DiskInventoryDialogTest : public DiskInventoryTest {
protected:
    void SetUp() override {
        DiskInventoryTest::SetUp();
        WriteArchive("ACME0106.QTF", SenderFiles());
        Touch(TransferDir + "/BETA__06.QTF");
        Touch(DataDir + "/BETA__.CFG", SenderRecord("BETA__"));
    }
    QStringList RowTexts(int row) const {
        QStringList texts;
        for (int column = 0; column < Dialog.grdDetails->columnCount(); ++column)
            texts << Dialog.grdDetails->item(row, column)->text();
        return texts;
    }
    TfmDiskInventory Dialog;
};

// New files on light yellow in black; Create only on a new file's row.
TEST_F(DiskInventoryDialogTest, ListsTheDriveAndOffersCreateOnNewFilesOnly) {
    EXPECT_TRUE(Dialog.Setup('t'));
    EXPECT_EQ(Dialog.cboDrive->currentText(), "T:");
    EXPECT_NE(Dialog.cboDrive->findText("C:"), -1);
    EXPECT_NE(Dialog.cboDrive->findText("D:"), -1);
    EXPECT_EQ(Dialog.cboDrive->findText("Q:"), -1);
    QStringList headings;
    for (int column = 0; column < Dialog.grdDetails->columnCount(); ++column)
        headings << Dialog.grdDetails->horizontalHeaderItem(column)->text();
    EXPECT_EQ(headings, QStringList({"File Code", "Year", "Quilvane Version", "Date"}));

    ASSERT_EQ(Dialog.grdDetails->rowCount(), 2);
    EXPECT_EQ(RowTexts(0).mid(0, 3), QStringList({"ACME01", "2006", "Quilvane 2006"}));
    EXPECT_EQ(RowTexts(1).mid(0, 3), QStringList({"BETA__", "2006", "Quilvane 2006"}));
    EXPECT_EQ(RowTexts(0)[3], TDiskInventory::DateText(Dialog.Inventory().Files()[0].Modified));
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(Dialog.grdDetails->item(0, column)->background().color(), QColor(255, 255, 210));
        EXPECT_EQ(Dialog.grdDetails->item(0, column)->foreground().color(), QColor(Qt::black));
        EXPECT_EQ(Dialog.grdDetails->item(1, column)->background().style(), Qt::NoBrush);
    }
    EXPECT_EQ(Dialog.GetSelectedFile(), "ACME01");
    EXPECT_TRUE(Dialog.btnCreate->isEnabled());

    Dialog.grdDetails->selectRow(1);
    EXPECT_EQ(Dialog.GetSelectedFile(), "BETA__");
    EXPECT_FALSE(Dialog.btnCreate->isEnabled());
    emit Dialog.grdDetails->cellDoubleClicked(1, 0);
    EXPECT_FALSE(Dialog.FileCreated());
    EXPECT_FALSE(QFileInfo::exists(DataDir + "/ACME01.CFG"));

    // Another drive lists its own folder; no drive lists nothing.
    Dialog.cboDrive->setCurrentIndex(Dialog.cboDrive->findText("D:"));
    EXPECT_EQ(Dialog.grdDetails->rowCount(), 0);
    EXPECT_FALSE(Dialog.btnCreate->isEnabled());
    EXPECT_FALSE(Dialog.Setup(QChar()));
    EXPECT_EQ(Dialog.cboDrive->currentIndex(), -1);
    EXPECT_EQ(Dialog.grdDetails->rowCount(), 0);
    EXPECT_FALSE(Dialog.btnCreate->isEnabled());
}

TEST_F(DiskInventoryDialogTest, DoubleClickCreatesAndAccepts) {
    Dialog.Setup('T');
    emit Dialog.grdDetails->cellDoubleClicked(0, 1);
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(Dialog.FileCreated());
    EXPECT_EQ(Dialog.CreatedFileCode(), "ACME01");
    EXPECT_EQ(CreatedKey("Code"), "ACME01");
}

TEST_F(DiskInventoryDialogTest, FailureIsShownWithTheUnzipCodeAndTheDialogStays) {
    WriteArchive("ACME0106.QTF", SenderFiles(), "SECRET");
    TDiskInventory direct;
    QString code;
    const int expected = direct.CreateFile(Scanned("ACME01", 2006), code);
    ASSERT_GT(expected, 0);

    Dialog.Setup('T');
    Prompt->Answer(TMessageButton::OK);
    Dialog.btnCreate->click();
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Unable to create new file - " + QString::number(expected));
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_NE(Dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(Dialog.FileCreated());
    EXPECT_TRUE(Dialog.CreatedFileCode().isEmpty());
    EXPECT_TRUE(Dialog.btnCreate->isEnabled());
}

// Tools > Transfer Disk Inventory from the main window, the dialog filled as a user fills it: the
// drive with the transfer folder chosen, then a double click on the new file.
class DiskInventoryCommandTest : public DiskInventoryTest, public IBackupQuestion {
protected:
    void SetUp() override {
        DiskInventoryTest::SetUp();
        // The record and an empty chart of accounts, which the new file opens with.
        WriteArchive("ACME0106.QTF", {{"ACME01.CFG", SenderRecord()},
                                      {"M_DETAIL/ACME0106.ADF", StoredChart("accounts", "header", {})}});
        TMainWindowParts parts;
        parts.BackupQuestion = this;
        parts.RunDialog = [](QDialog& dialog) {
            auto& inventory = dynamic_cast<TfmDiskInventory&>(dialog);
            inventory.cboDrive->setCurrentIndex(inventory.cboDrive->findText("T:"));
            emit inventory.grdDetails->cellDoubleClicked(0, 0);
            return inventory.result();
        };
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
    }
    void TearDown() override {
        Window.reset();
        Registry.reset();
        DiskInventoryTest::TearDown();
    }
    TBackupAnswer Ask(const QString&) override { return TBackupAnswer::No; }

    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
};

// The file created opens on the desktop as the active file and heads the recently-used files;
// the information beep and box say so.
TEST_F(DiskInventoryCommandTest, TheCreatedFileOpensOnTheDesktop) {
    Prompt->Answer(TMessageButton::OK);
    Window->mnuTransferDiskInventory->trigger();
    TDesktop& desktop = Window->Desktop();
    ASSERT_EQ(desktop.Files().Count(), 1);
    EXPECT_EQ(desktop.Files().Code(desktop.ActiveIndex()), "ACME01");
    EXPECT_EQ(Params->Entities.Codes().value(0), "ACME01");
    EXPECT_EQ(Prompt->Texts(), QStringList{TFileCommands::InventoryOpenedText.arg("ACME01")});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});
}

// With the desktop full the file is created but not opened, and the box says why.
TEST_F(DiskInventoryCommandTest, ADesktopThatIsFullOnlyCreatesTheFile) {
    TDesktop& desktop = Window->Desktop();
    ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
    for (int i = 1; i <= TDesktopFiles::MaxFiles; ++i) {
        const QString code = QString::asprintf("F%02d", i);
        ASSERT_TRUE(WriteFileBytes(RecordPath(code), SmallRecord("0", "", "Code=" + code)));
        ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/" + code + "06.ADF",
                                   StoredChart("accounts", "header", {})));
        ASSERT_GE(desktop.OpenFileOnDesktop(code, false, false, false, false), 0) << code.toStdString();
    }
    const QStringList history = Params->Entities.Codes();
    Prompt->Answer(TMessageButton::OK);
    Window->mnuTransferDiskInventory->trigger();
    EXPECT_TRUE(QFileInfo::exists(DataDir + "/ACME01.CFG"));
    EXPECT_EQ(desktop.Files().Count(), TDesktopFiles::MaxFiles);
    EXPECT_EQ(desktop.Files().IndexOf("ACME01"), -1);
    EXPECT_EQ(Params->Entities.Codes(), history);
    EXPECT_EQ(Prompt->Texts(), QStringList{TFileCommands::InventoryFullText.arg("ACME01")});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});
}

} // namespace
