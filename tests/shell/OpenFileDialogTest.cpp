#include "shell/openfile/OpenFileDialog.h"
#include "controls/grids/MultiSelectStringGrid.h"
#include "core/vocab/Colours.h"
#include "shell/openfile/OpenFileList.h"
#include "tests/core/EntityTestSupport.h"

#include <QTest>
#include <QtWidgets>

namespace {

QString RowText(const TOpenFileRow& row) {
    return QStringList{row.Code, row.Name, row.TypeName, row.Status}.join('|');
}

// The data folder holds client records written by hand; the workstation is "WORKSTATION1".
class OpenFileTest : public TEntityFixture {
protected:
    // Copies the records of tests/data/openfile/folder into the data folder; HOTEL8 (no code)
    // brings up the load's retry box, which each listing answers with Cancel.
    void CopyGoldenFolder() {
        const QDir source(QUILVANE_TEST_DATA_DIR "/openfile/folder");
        for (const QString& name : source.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(source.filePath(name), DataDir + "/" + name)) << name.toStdString();
    }
    int ListGolden(TOpenFileList& list, const QStringList& desktop = {"FOXTR6"}) {
        Prompt->Answer(TMessageButton::Cancel);
        return list.Setup(desktop, TOpenFileList::OpenMode);
    }
    void WriteSummary(const QString& code, const QString& name, const QString& lockedBy = {}) {
        const QByteArray bytes =
            "[CONFIGURATION]\r\nCode=" + code.toLatin1() + "\r\nType=COY\r\nName=" + name.toLatin1() +
            "\r\nLocked=" + (lockedBy.isEmpty() ? "0" : "1") + "\r\nLockedBy=" + lockedBy.toLatin1() + "\r\n";
        ASSERT_TRUE(WriteFileBytes(DataDir + "/" + code + ".CFG", bytes));
    }
    QStringList Listed(const TOpenFileList& list) const {
        QStringList rows;
        for (const TOpenFileRow& row : list.Rows())
            rows << RowText(row);
        return rows;
    }
};

// Every kind of holder, a lower-case extension, a code longer than six characters, a record
// without a code and a damaged one; a link out of the folder is never read. Listing writes nothing.
TEST_F(OpenFileTest, ListsEveryRecordWithWhoHoldsIt) {
    CopyGoldenFolder();
    ASSERT_TRUE(QDir().mkpath(TempPath("outside")));
    WriteFileBytes(TempPath("outside/LINK01.CFG"),
                   "[CONFIGURATION]\r\nCode=LINK01\r\nType=COY\r\nName=Elsewhere\r\n");
    ASSERT_TRUE(QFile::link(TempPath("outside/LINK01.CFG"), DataDir + "/LINK01.CFG"));
    QMap<QString, QByteArray> before;
    for (const QString& name : QDir(DataDir).entryList(QDir::Files))
        before[name] = ReadFileBytes(DataDir + "/" + name);

    TOpenFileList list;
    EXPECT_EQ(ListGolden(list), 11);
    const QString expected = QString::fromLatin1(TestData("openfile/expected-rows.txt"));
    EXPECT_EQ(Listed(list).join('\n') + '\n', expected);
    ASSERT_EQ(Prompt->Texts().size(), 1);
    EXPECT_TRUE(Prompt->Texts()[0].startsWith("Unable to load file details. Filename : "));
    EXPECT_TRUE(Prompt->Texts()[0].endsWith("HOTEL8.CFG"));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(ReadFileBytes(DataDir + "/" + it.key()), it.value()) << it.key().toStdString();
}

TEST_F(OpenFileTest, EmptyFolderIsReported) {
    ASSERT_TRUE(WriteFileBytes(DataDir + "/NOTES.TXT", "x"));
    Prompt->Answer(TMessageButton::OK);
    TOpenFileList list;
    EXPECT_EQ(list.Setup(QStringList{}, TOpenFileList::OpenMode), -1);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{"No files have been created on your system.\r\nSelect NEW to create a new file."});
    EXPECT_EQ(Prompt->Shown.value(0).Kind, TMessageKind::Information);
    EXPECT_FALSE(Prompt->Beeps.isEmpty());
    EXPECT_TRUE(list.Rows().isEmpty());
}

// The row rules beyond the hand-made folder: desktop codes without regard to case, a file open
// here whoever the keys name, holder names compared exactly, an empty name never ours.
TEST_F(OpenFileTest, BuildRowStatus) {
    struct TCase {
        const char* Holder;
        QStringList Desktop;
        const char* User;
        const char* Type;
        const char* Status;
    };
    const TCase cases[] = {
        {"WORKSTATION1", {"abc123"}, "WORKSTATION1", "COY", "Open on your desktop"},
        {"OTHERPC", {"ABC123"}, "WORKSTATION1", "COY", "Open on your desktop"},
        {"workstation1", {}, "WORKSTATION1", "COY", "In use by workstation1"},
        {"", {}, "", "COY", "In use by <Unknown User>"},
        {"WORKSTATION1", {"XYZ999"}, "WORKSTATION1", "BAD", "Available"},
        {nullptr, {"ABC123"}, "WORKSTATION1", "COY", "Available"},
        {nullptr, {}, "WORKSTATION1", "bad", "Not Permitted"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(QString("%1 %2").arg(c.Holder ? c.Holder : "unlocked", c.Type).toStdString());
        const TStoredFileSummary stored{"ABC123", c.Type, "Acme", c.Holder != nullptr, c.Holder};
        const auto row = TOpenFileList::BuildRow("ABC123", stored, c.Desktop, c.User, *Params, 0);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->Status, c.Status);
    }
    const TStoredFileSummary noCode{"", "COY", "Acme", false, ""};
    EXPECT_FALSE(TOpenFileList::BuildRow("ABC123", noCode, {}, "WORKSTATION1", *Params, 0));
    const TStoredFileSummary other{"ABC123", "TRU", "Acme", true, "OTHERPC"};
    const auto selection = TOpenFileList::BuildRow("ABC123", other, {}, "WORKSTATION1", *Params, 1);
    ASSERT_TRUE(selection);
    EXPECT_EQ(RowText(*selection), "ABC123|Acme|Trust|");
}

TEST_F(OpenFileTest, SelectionCodesAndFlagsInRowOrder) {
    CopyGoldenFolder();
    TOpenFileList list;
    ListGolden(list);
    // ALPHA1 available, BRAVO2 in use, CHARL3 available, ECHO05 not permitted, FOXTR6 open here;
    // rows outside skipped.
    const TOpenFileSelection plain = list.Selection({2, 0, 1, 99, -1}, false);
    EXPECT_EQ(plain.CodesText(), "ALPHA1,BRAVO2,CHARL3,");
    EXPECT_EQ(plain.FlagsText(), "1,0,1,");
    EXPECT_EQ(list.Selection({1, 0, 2}, true).FlagsText(), "1,1,1,");
    EXPECT_EQ(list.Selection({5, 4, 6}, false).FlagsText(), "2,0,1,");
    EXPECT_EQ(list.Selection({}, true).CodesText(), "");
}

TEST_F(OpenFileTest, FindPrefersNamesAndMovesOn) {
    WriteSummary("AAA111", "Aaa One");
    WriteSummary("BBB222", "Zulu");
    WriteSummary("CCC333", "Zulu");
    WriteSummary("DDD444", "Aaa Two Bbb");
    TOpenFileList list;
    ASSERT_EQ(list.Setup(QStringList{}, TOpenFileList::OpenMode), 4);
    EXPECT_EQ(list.Find("bbb"), 3); // a name containing it, before the code BBB222
    EXPECT_EQ(list.Find("ccc"), 2); // no name: the code
    EXPECT_EQ(list.Find("aaa"), 0);
    EXPECT_EQ(list.Find("AAA"), 3); // the same text moves past the last match
    EXPECT_EQ(list.Find("aaa"), 0); // beyond the last row: from the top
    list.SetStartRow(3);
    EXPECT_EQ(list.Find("aaa"), 0); // from the row after the clicked one, wrapped
    EXPECT_EQ(list.Find("zz"), -1);
    EXPECT_EQ(list.Find(""), -1);
}

class OpenFileDialogTest : public OpenFileTest {
protected:
    void SetUp() override {
        OpenFileTest::SetUp();
        CopyGoldenFolder();
        Prompt->Answer(TMessageButton::Cancel);
        ASSERT_EQ(Dialog.Setup(QStringList{"FOXTR6"}, TOpenFileList::OpenMode), 10);
        Dialog.resize(700, 400);
        Dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Dialog));
    }
    QPoint CellCentre(int row, int column) const {
        return Dialog.msgOpenFile->visualRect(Dialog.msgOpenFile->model()->index(row, column)).center();
    }
    QColor PixelAt(int row, int column) {
        const QRect rect = Dialog.msgOpenFile->visualRect(Dialog.msgOpenFile->model()->index(row, column));
        return Dialog.msgOpenFile->viewport()->grab().toImage().pixelColor(rect.right() - 3,
                                                                           rect.bottom() - 2);
    }
    TfmOpenFile Dialog;
};

// BRAVO2 (row 1) is in use elsewhere: offered only while Ctrl is held; a double click accepts it.
TEST_F(OpenFileDialogTest, CtrlHeldOffersEveryRowAndADoubleClickAccepts) {
    QTest::mouseClick(Dialog.msgOpenFile->viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    QTest::keyPress(Dialog.msgOpenFile, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(Dialog.Selection().FlagsText(), "1,");
    QTest::keyRelease(Dialog.msgOpenFile, Qt::Key_Control, Qt::ControlModifier);
    QTest::mouseDClick(Dialog.msgOpenFile->viewport(), Qt::LeftButton, {}, CellCentre(1, 1));
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    QString codes, flags;
    Dialog.GetSelectedCodes(codes);
    Dialog.GetSelectedAvailability(flags);
    EXPECT_EQ(codes, "BRAVO2,");
    EXPECT_EQ(flags, "0,");
}

// The first file starts chosen, so Enter opens it at once; with nothing selected the row with
// the focus frame is the one taken.
TEST_F(OpenFileDialogTest, TheFirstRowStartsChosenAndTheCurrentRowStandsInForNone) {
    const QString first = Dialog.msgOpenFile->item(0, 0)->text() + ",";
    EXPECT_EQ(Dialog.Selection().CodesText(), first);
    Dialog.msgOpenFile->ClearSelection();
    Dialog.msgOpenFile->setCurrentCell(3, 1);
    EXPECT_EQ(Dialog.Selection().CodesText(), Dialog.msgOpenFile->item(3, 0)->text() + ",");
    Dialog.msgOpenFile->setCurrentCell(0, 0);
    QTest::keyClick(Dialog.msgOpenFile, Qt::Key_Return);
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Dialog.Selection().CodesText(), first);
}

// FOXTR6 (row 5) is open here: its data cells, not its code, are marked while it is unselected.
TEST_F(OpenFileDialogTest, MarksFilesOpenOnTheDesktop) {
    const QColor marked = QColor::fromRgba(HighlightColour4);
    EXPECT_EQ(PixelAt(5, 1), marked);
    EXPECT_NE(PixelAt(5, 0), marked);
    EXPECT_NE(PixelAt(4, 1), marked);
    Dialog.msgOpenFile->SetRowSelected(5, true);
    EXPECT_NE(PixelAt(5, 1), marked);
}

// Selection mode has its own caption and no status column; the name column takes its room.
TEST_F(OpenFileDialogTest, SelectionModeShowsThreeColumns) {
    TfmOpenFile selection;
    Prompt->Answer(TMessageButton::Cancel);
    ASSERT_EQ(selection.Setup(QStringList{"FOXTR6"}, TOpenFileList::SelectionMode), 10);
    const auto* grid = selection.msgOpenFile;
    EXPECT_EQ(selection.windowTitle(), "File Selection");
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ(grid->horizontalHeaderItem(2)->text() + grid->item(5, 2)->text(), "TypeSuperannuation Fund");
    EXPECT_EQ(grid->columnWidth(1), Dialog.msgOpenFile->columnWidth(1) + Dialog.msgOpenFile->columnWidth(3));
    EXPECT_EQ(grid->columnWidth(2), Dialog.msgOpenFile->columnWidth(2));
}

TEST_F(OpenFileDialogTest, FindSelectsTheMatch) {
    QTest::keyClick(Dialog.msgOpenFile, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(Dialog.FindDialog->isVisible());
    Dialog.edtFindText->setText("trust");
    Dialog.actFindAgain->trigger();
    EXPECT_EQ(Dialog.Selection().CodesText(), "BRAVO2,");
}

} // namespace
