#include "entry/dataentry/DataEntry.h"

#include "../core/ChartTestSupport.h"
#include "../core/EntityTestSupport.h"

#include "controls/buttons/RxSpeedButton.h"
#include "controls/dates/CalendarDialog.h"
#include "controls/dates/MonthCalendar.h"
#include "controls/util/CustomComboEdit.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionListSources.h"
#include "core/vocab/PageKinds.h"
#include "entry/dataentry/DataEntryEditor.h"
#include "entry/dataentry/TransactionCellDelegate.h"
#include "entry/dataentry/TransactionTableModel.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <functional>

namespace TF = TransactionFlag;
using G = TTransactionGrid;

namespace {

// File ABC123 (year to June 2006, 12 periods) open on the desktop with taxes and monthly contras,
// the bank account 2000 (the default), the GST account 3100, rent 5000 and the suspense account
// 9100, and the tax code GST of 10 %; the data-entry window over it.
class DataEntryWindowTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        WriteRecordBytes(SmallRecord());
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        auto opened = TEntityInfo::Create("ABC123", {Standard, Load});
        opened->OpenYear();
        TEntityInfo& file = *opened;
        file.EntityDetail().Tax = true;
        file.EntityDetail().Contras = 2;
        const TAccountFormat* format = Params->FindAccountFormat("QUILVANE");
        ASSERT_NE(format, nullptr);
        TAccountsChart& accounts = *file.AccountsChart(2006);
        for (const QStringList& account :
             {QStringList{"2000", "BNK", "Cheque Account", "AUD"},
              QStringList{"3100", "ACC", "GST Collected"}, QStringList{"5000", "ACC", "Rent"},
              QStringList{"9100", "SUS", "Suspense"}}) {
            auto detail = std::make_unique<TAccountDetail>(format);
            TAccountCode code;
            ASSERT_TRUE(format->TextToCode(account[0], code, false, false));
            detail->SetCode(code);
            detail->DeriveAccountType(account[1]);
            detail->Description = account[2];
            detail->SetBankCurrency(account.value(3));
            ASSERT_GE(accounts.AddAccount(std::move(detail)), 0);
        }
        accounts.EnsureSuspenseAccount();
        accounts.SetDefaultAccount(accounts.IndexOf("2000"), true);
        auto gst = std::make_unique<TTaxRate>(format);
        gst->Tax_Code = "GST";
        gst->Tax_Rate = 10.0;
        ASSERT_TRUE(format->TextToCode("3100", gst->TaxAccount, false, false));
        gst->StartDate = EncodeDateNum(2005, 7, 1);
        gst->EndDate = EncodeDateNum(2006, 6, 30);
        ASSERT_GE(file.TaxRateChart(2006)->AddItem(std::move(gst)), 0);
        ASSERT_EQ(Files.Add(opened), 0);
        File = &file;
        Window = std::make_unique<TfmDataEntry>();
        Window->resize(900, 500);
        Window->Init(Files, 0);
    }
    void TearDown() override {
        Window.reset();
        if (File)
            File->Close();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    TTransactionTableModel& Model() const { return *Window->Model(); }
    TTransactionList& List() const { return Window->Editor()->List(); }
    QModelIndex Cell(int row, int column) const { return Model().index(row, column); }
    // Keys the fields into the row through the table, as the cells' editors hand them over.
    void Key(int row, const std::vector<std::pair<int, QString>>& fields) const {
        for (const auto& [column, text] : fields)
            ASSERT_TRUE(Model().setData(Cell(row, column), text))
                << column << ": " << Model().LastRefusal().toStdString();
    }
    void KeyPayment(int row, const QString& amount, const QString& taxes) const {
        Key(row, {{G::colDate, "15/10/05"},
                  {G::colReference, "123"},
                  {G::colAccount, "5000"},
                  {G::colAmount, amount},
                  {G::colTaxCodes, taxes},
                  {G::colDetails, "Office rent"}});
    }
    // Down on the keyed last row finishes it.
    void Down() const {
        QTest::keyClick(Window->grdTransactions, Qt::Key_Down);
        QApplication::processEvents();
    }
    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < List().Count(); ++i) {
            const TTransactionDetail& line = *List().GetItem(i);
            const char* kind = line.HasAnyFlag({TF::Blank})             ? "blank"
                               : line.HasAnyFlag({TF::TaxLine})         ? "tax"
                               : line.HasAnyFlag({TF::DissectionTotal}) ? "total"
                               : line.HasAnyFlag({TF::Contra})          ? "contra"
                                                                        : "entry";
            lines << QStringLiteral("%1 %2 %3")
                         .arg(kind, QString::number(line.Amount, 'f', 2), line.Details())
                         .trimmed();
        }
        return lines;
    }

    // What a calendar showed when it came up.
    struct TCalendarSeen {
        bool Shown = false;
        double Opened = 0;
        QRect Geometry;
    };
    // Opens the calendar with open (a key or a click) and runs steps on it once it is up; steps
    // that leave it open end it, so that a test never hangs.
    static TCalendarSeen Pick(const std::function<void()>& open,
                              const std::function<void(TfmCalendar&)>& steps) {
        TCalendarSeen seen;
        QTimer::singleShot(0, [&] {
            const QPointer<TfmCalendar> calendar =
                qobject_cast<TfmCalendar*>(QApplication::activeModalWidget());
            if (!calendar)
                return;
            seen = {true, calendar->GetDate(), calendar->geometry()};
            steps(*calendar);
            if (calendar && calendar->isVisible())
                calendar->done(-1);
        });
        open();
        QApplication::processEvents();
        return seen;
    }
    static void PressOnCalendar(TfmCalendar& calendar, Qt::Key key) {
        QTest::keyClick(calendar.btcCalendar, key);
    }
    // A double click on a day of the calendar's month grid.
    static void DoubleClickDay(TfmCalendar& calendar, const QDate& day) {
        TbtCalendar& grid = *calendar.btcCalendar;
        const auto cell = static_cast<int>(grid.FirstGridDateOf(grid.BlockMonth(0)).daysTo(day));
        QTest::mouseDClick(&grid, Qt::LeftButton, {},
                           grid.CellRect(0, cell).translated(grid.ClientOrigin()).center());
    }
    // The date cell of the row opened for typing, the grid holding the keyboard.
    TCustomComboEdit* OpenDateCell(int row) const {
        QTableView& grid = *Window->grdTransactions;
        grid.setFocus();
        grid.setCurrentIndex(Cell(row, G::colDate));
        QApplication::processEvents();
        grid.edit(Cell(row, G::colDate));
        return qobject_cast<TCustomComboEdit*>(Window->CellDelegate()->OpenEditor());
    }
    QRect GlobalRect(const QWidget& widget) const {
        return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    }

    // The window in front with the grid holding the keyboard on the cell, the cell opened for
    // typing when asked.
    void StandOn(int row, int column, bool open) const {
        Window->show();
        Window->activateWindow();
        QTableView& grid = *Window->grdTransactions;
        grid.setFocus();
        grid.setCurrentIndex(Cell(row, column));
        QApplication::processEvents();
        if (open) {
            grid.edit(Cell(row, column));
            ASSERT_NE(Window->CellDelegate()->OpenEditor(), nullptr);
        }
    }
    // Keys go where the keyboard is, as a user's do.
    static QWidget* KeyboardWidget() { return QApplication::focusWidget(); }
    // Key by key, each to where the keyboard then is: the first may open the cell.
    static void Type(const QString& text) {
        for (const QChar character : text) {
            QTest::keyClicks(KeyboardWidget(), QString(character));
            QApplication::processEvents();
        }
    }
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(KeyboardWidget(), key, modifiers);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    std::pair<int, int> Spot() const {
        const QModelIndex current = Window->grdTransactions->currentIndex();
        return {current.row(), current.column()};
    }
    QModelIndex OpenCell() const {
        return Window->CellDelegate()->OpenEditor() ? QModelIndex(Window->CellDelegate()->OpenIndex())
                                                    : QModelIndex();
    }
    // Closes the file's pages, dropping a row still being keyed, and forgets October's payments
    // they wrote, so that the page opens empty again.
    void ClosePages() const {
        Window->CellDelegate()->DiscardOpenEditor();
        if (Window->Editor() && Window->Editor()->RowPending())
            Prompt->Answer(TMessageButton::No);
        EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
        QFile::remove(DataDir + "/ABC123/ABC12306.PA4");
    }

    TDesktopFiles Files;
    TEntityInfo* File = nullptr;
    std::unique_ptr<TfmDataEntry> Window;
};

const QString GstLine = QStringLiteral("tax 10.00 GST tax (10.00%) on Office rent");

} // namespace

TEST_F(DataEntryWindowTest, AKeyedPaymentComesBackFromItsFilesWithItsTaxLineAndContra) {
    EXPECT_EQ(Window->objectName(), "TfmDataEntry");
    EXPECT_EQ(Window->property("WindowKind").toInt(), 6);
    EXPECT_EQ(Window->CurrentPageKind(), -1);
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    EXPECT_EQ(Window->CurrentPageKind(), pkPayments);
    ASSERT_EQ(Window->tabPages->count(), 1);
    EXPECT_EQ(Window->tabPages->tabText(0), "Payments: October 2005");
    ASSERT_EQ(Model().rowCount(), 1);
    EXPECT_EQ(Model().columnCount(), 11);
    EXPECT_EQ(Model().headerData(G::colAmount, Qt::Horizontal).toString(), "Amount");
    // The file keeps neither quantities nor other currencies.
    EXPECT_TRUE(Window->grdTransactions->isColumnHidden(G::colQuantity));
    EXPECT_FALSE(Window->grdTransactions->isColumnHidden(G::colTaxCodes));

    KeyPayment(0, "110", "GST");
    EXPECT_FALSE(Model().setData(Cell(0, G::colAmount), "1O0"));
    EXPECT_EQ(Model().LastRefusal(), "Invalid amount.");
    EXPECT_EQ(Model().data(Cell(0, G::colAmount), Qt::EditRole).toString(), "110.00");

    // Closing keeps the changes when asked to, writes the page and records it.
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Window->CloseAllPages(0, false, true), 1);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, TDataEntryEditor::KeepChangesQuestion.arg(" Payments: October 2005 "));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel);
    EXPECT_EQ(std::tuple(File->DataEntryPageCount(), Window->tabPages->count(), Model().rowCount()),
              std::tuple(0, 0, 0));
    EXPECT_EQ(File->EntityDetail().DataEntryPages.size(), 1);
    EXPECT_EQ(Window->CurrentPageKind(), -1);

    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    EXPECT_EQ(Lines(),
              (QStringList{"entry 100.00 Office rent", GstLine, "total 110.00 Payment Dissection Total",
                           "contra -110.00 Monthly contra total to Cheque Account", "blank 0.00"}));
    const TTransactionDetail& entry = *List().GetItem(0);
    const TTransactionDetail& contra = *List().GetItem(3);
    EXPECT_EQ(Model().data(Cell(0, G::colReference)).toString(), "000123");
    EXPECT_EQ(Model().data(Cell(0, G::colDate)).toString(), "15/10/05");
    EXPECT_EQ(List().GetItem(1)->ParentID, entry.ID);
    EXPECT_EQ(std::tuple(contra.Reference, contra.Date, contra.PostingCode, contra.BankCode),
              std::tuple(ContraReference, EncodeDateNum(2005, 10, 31), entry.BankCode, entry.BankCode));
    // Tax lines paint on their background and take no typing.
    EXPECT_EQ(Model().data(Cell(1, G::colAmount), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(240, 202, 166));
    EXPECT_FALSE(Model().flags(Cell(1, G::colDetails)).testFlag(Qt::ItemIsEditable));
    EXPECT_TRUE(Model().flags(Cell(0, G::colDetails)).testFlag(Qt::ItemIsEditable));

    // No unfinished row: the page closes without a question; the history is cleared when not kept.
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(File->EntityDetail().DataEntryPages.isEmpty());
}

TEST_F(DataEntryWindowTest, AClickOnAPageTabShowsThatPage) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    ASSERT_EQ(Window->OpenPage(pkReceipts, 4), 1);
    ASSERT_EQ(Window->tabPages->count(), 2);
    ASSERT_EQ(Window->CurrentPageKind(), pkReceipts);
    const int payments = 1 - Window->ShownPageIndex();
    Window->show();
    QApplication::processEvents();
    QTest::mouseClick(Window->tabPages, Qt::LeftButton, {}, Window->tabPages->tabRect(payments).center());
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(Window->ShownPageIndex(), Window->tabPages->currentIndex(), Window->CurrentPageKind()),
              std::tuple(payments, payments, int(pkPayments)));
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, CancelAtAnUnfinishedRowLeavesThePageOpen) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "50", "");
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(Window->CloseAllPages(0, false, true), IDataEntryWindow::PagesCancelled);
    EXPECT_EQ(std::tuple(File->DataEntryPageCount(), Window->tabPages->count(), Window->ShownPageIndex()),
              std::tuple(1, 1, 0));
    EXPECT_TRUE(Window->Editor()->RowPending());
    // No drops the row: the page writes nothing of it.
    Prompt->Answer(TMessageButton::No);
    EXPECT_EQ(Window->CloseAllPages(0, false, true), 1);
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    EXPECT_EQ(Lines(), QStringList{"blank 0.00"});
}

TEST_F(DataEntryWindowTest, ALineIsDissectedAndTheDissectionRemovedThroughTheButtons) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "GST");
    Down();
    ASSERT_EQ(Model().rowCount(), 4);
    EXPECT_EQ(Window->grdTransactions->currentIndex().row(), 3);
    KeyPayment(3, "20", "");
    Down();
    ASSERT_EQ(Lines(),
              (QStringList{"entry 100.00 Office rent", GstLine, "total 110.00 Payment Dissection Total",
                           "entry 20.00 Office rent", "blank 0.00"}));

    QItemSelectionModel& selection = *Window->grdTransactions->selectionModel();
    selection.setCurrentIndex(Cell(3, 0), QItemSelectionModel::NoUpdate);
    selection.select(QItemSelection(Cell(0, 0), Cell(3, 0)), QItemSelectionModel::ClearAndSelect);
    QApplication::processEvents();
    EXPECT_TRUE(Window->spbCreateDissection->isEnabled());
    EXPECT_FALSE(Window->spbRemoveDissection->isEnabled());
    EXPECT_TRUE(Window->CommandEnabled(decGenerateContras));

    Window->RunCommand(decCreateDissection);
    EXPECT_EQ(Lines(), (QStringList{"entry 100.00 Office rent", GstLine, "entry 20.00 Office rent",
                                    "total 130.00 Payment Dissection Total", "blank 0.00"}));
    EXPECT_EQ(Window->grdTransactions->currentIndex().row(), 0);
    EXPECT_TRUE(Window->spbRemoveDissection->isEnabled());
    EXPECT_TRUE(Window->CommandEnabled(decRemoveDissection));

    Window->spbRemoveDissectionClick();
    EXPECT_EQ(Lines(),
              (QStringList{"entry 100.00 Office rent", GstLine, "total 110.00 Payment Dissection Total",
                           "entry 20.00 Office rent", "blank 0.00"}));
    EXPECT_FALSE(Window->spbRemoveDissection->isEnabled());
    EXPECT_EQ(List().GetItem(3)->Dissection, -1);

    // A click on the amount's title sorts by amount; the current entry stays current.
    const TTransactionDetail* current = List().GetItem(Window->grdTransactions->currentIndex().row());
    Window->SortByColumn(G::colAmount);
    EXPECT_EQ(List().SortOrder(), TTransactionList::soAmount);
    EXPECT_EQ(Lines(), (QStringList{GstLine, "entry 20.00 Office rent", "entry 100.00 Office rent",
                                    "total 110.00 Payment Dissection Total", "blank 0.00"}));
    EXPECT_EQ(List().GetItem(Window->grdTransactions->currentIndex().row()), current);

    Window->RunCommand(decGenerateContras);
    EXPECT_EQ(Lines().at(4), "contra -130.00 Monthly contra total to Cheque Account");
    EXPECT_EQ(Window->CloseAllPages(0, false, true), 1);
}

TEST_F(DataEntryWindowTest, ARefusedCellStaysOpenWithWhatWasTyped) {
    Window->show();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    QTableView& view = *Window->grdTransactions;
    view.setCurrentIndex(Cell(0, G::colAmount));
    view.edit(Cell(0, G::colAmount));
    auto* editor = qobject_cast<QLineEdit*>(Window->CellDelegate()->OpenEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "110.00");

    // Ended by the window: the message at once, the editor left open.
    editor->setText("12x");
    Prompt->Answer(TMessageButton::OK);
    EXPECT_FALSE(Window->EndCellEdit());
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(
        std::tuple(Prompt->Shown[0].Kind, Prompt->Shown[0].Text, Prompt->Shown[0].Buttons),
        std::tuple(TMessageKind::Error, QString("Invalid amount."), TMessageButtons(TMessageButton::OK)));
    EXPECT_EQ(Prompt->Beeps.last(), TBeep::Error);
    EXPECT_EQ(Window->CellDelegate()->OpenEditor(), editor);
    EXPECT_EQ(List().GetItem(0)->Amount, 110.0);

    // Left for another cell: the view closes the editor, the cell comes back with the text.
    Prompt->Answer(TMessageButton::OK);
    view.setCurrentIndex(Cell(0, G::colDetails));
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(Prompt->Shown.size(), 2);
    auto* reopened = qobject_cast<QLineEdit*>(Window->CellDelegate()->OpenEditor());
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(Window->CellDelegate()->OpenIndex(), QPersistentModelIndex(Cell(0, G::colAmount)));
    EXPECT_EQ(reopened->text(), "12x");
    EXPECT_EQ(view.currentIndex(), Cell(0, G::colAmount));

    reopened->setText("12");
    EXPECT_TRUE(Window->EndCellEdit());
    EXPECT_EQ(List().GetItem(0)->Amount, 12.0);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, ChangedTaxOptionReopensThePagesWithoutTheTaxColumn) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "GST");
    Down();
    ASSERT_EQ(Model().rowCount(), 4);
    File->EntityDetail().Tax = false;
    Window->FileOptionsChanged(dnTaxesChanged);
    ASSERT_EQ(Window->ShownPageIndex(), 0);
    EXPECT_FALSE(List().TaxColumn());
    EXPECT_TRUE(Window->grdTransactions->isColumnHidden(G::colTaxCodes));
    EXPECT_EQ(Lines(), (QStringList{"entry 110.00 Office rent",
                                    "contra -110.00 Monthly contra total to Cheque Account", "blank 0.00"}));
    // The file's own page history is left as it was.
    EXPECT_TRUE(File->EntityDetail().DataEntryPages.isEmpty());
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

// Typing a row key by key as a user does, with a refused amount on the way: the cell stays open
// with its text selected, the corrected row goes on from there and Down finishes it whole.
TEST_F(DataEntryWindowTest, ARefusedFieldTypedAgainKeepsTheRowGoing) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    Window->show();
    Window->activateWindow();
    QTableView& grid = *Window->grdTransactions;
    grid.setFocus();
    grid.setCurrentIndex(Cell(0, G::colDate));
    QApplication::processEvents();
    const auto type = [](const QString& text) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        QApplication::processEvents();
    };
    const auto press = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    grid.edit(Cell(0, G::colDate));
    for (const char* field : {"15/10/05", "123", "5000"}) {
        type(field);
        press(Qt::Key_Tab);
    }
    Prompt->Answer(TMessageButton::OK);
    // A message box runs the events that wait while it is up, as a real one does.
    Prompt->OnShow = [] {
        QApplication::processEvents();
        QApplication::processEvents();
    };
    type("22x");
    press(Qt::Key_Tab);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Invalid amount.");
    ASSERT_EQ(grid.currentIndex(), Cell(0, G::colAmount));
    const auto* open = qobject_cast<QLineEdit*>(Window->CellDelegate()->OpenEditor());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->selectedText(), "22x");
    type("220");
    press(Qt::Key_Tab);
    EXPECT_EQ(grid.currentIndex(), Cell(0, G::colTaxCodes));
    type("GST");
    press(Qt::Key_Tab);
    type("Phone bill");
    press(Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(Lines(), (QStringList{"entry 200.00 Phone bill", "tax 20.00 GST tax (10.00%) on Phone bill",
                                    "total 220.00 Payment Dissection Total", "blank 0.00"}));
    EXPECT_EQ(grid.currentIndex(), Cell(3, G::colDate));
}

// --- the calendar of a date cell -------------------------------------------------------------------

TEST_F(DataEntryWindowTest, F4OpensTheCalendarUnderTheDateCellAndReturnEntersTheDay) {
    Window->show();
    Window->activateWindow();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    const QPointer<TCustomComboEdit> editor = OpenDateCell(0);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->Button()->isVisible());
    EXPECT_EQ(editor->text(), "15/10/05");
    const QRect cell = GlobalRect(*editor);

    const TCalendarSeen seen = Pick([&] { QTest::keyClick(editor, Qt::Key_F4); },
                                    [](TfmCalendar& calendar) {
                                        PressOnCalendar(calendar, Qt::Key_Right);
                                        PressOnCalendar(calendar, Qt::Key_Return);
                                    });
    ASSERT_TRUE(seen.Shown);
    EXPECT_EQ(seen.Opened, EncodeDateNum(2005, 10, 15));
    EXPECT_EQ(seen.Geometry.topLeft(), QPoint(cell.left(), cell.bottom() + 1));
    // The day went in as if typed and Enter pressed: checked, stored, the cell closed on it.
    EXPECT_EQ(Window->CellDelegate()->OpenEditor(), nullptr);
    EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, 16));
    EXPECT_EQ(Model().data(Cell(0, G::colDate)).toString(), "16/10/05");
    EXPECT_EQ(Window->grdTransactions->currentIndex(), Cell(0, G::colDate));
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, EscapeLeavesTheDateCellAsItWas) {
    Window->show();
    Window->activateWindow();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    const QPointer<TCustomComboEdit> editor = OpenDateCell(0);
    ASSERT_NE(editor, nullptr);
    // The calendar starts on the day typed, not yet checked.
    editor->setText("20/10/05");
    const TCalendarSeen seen = Pick([&] { QTest::keyClick(editor, Qt::Key_Down, Qt::AltModifier); },
                                    [](TfmCalendar& calendar) {
                                        PressOnCalendar(calendar, Qt::Key_Right);
                                        PressOnCalendar(calendar, Qt::Key_Escape);
                                    });
    ASSERT_TRUE(seen.Shown);
    EXPECT_EQ(seen.Opened, EncodeDateNum(2005, 10, 20));
    ASSERT_TRUE(editor);
    ASSERT_EQ(Window->CellDelegate()->OpenEditor(), editor.data());
    EXPECT_EQ(editor->text(), "20/10/05");
    EXPECT_TRUE(editor->hasFocus());
    EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, 15));

    // Text that names no day of the period opens on the period's last day.
    for (const QString& typed : {QString(), QStringLiteral("3/11/05"), QStringLiteral("x")}) {
        editor->setText(typed);
        const TCalendarSeen fallback =
            Pick([&] { QTest::keyClick(editor, Qt::Key_F4); },
                 [](TfmCalendar& calendar) { PressOnCalendar(calendar, Qt::Key_Escape); });
        EXPECT_EQ(fallback.Opened, EncodeDateNum(2005, 10, 31)) << typed.toStdString();
        EXPECT_EQ(editor->text(), typed);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    Window->CellDelegate()->DiscardOpenEditor();
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, TheCellsButtonOpensTheCalendarAndAPickedDayIsChecked) {
    Window->show();
    Window->activateWindow();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    const QPointer<TCustomComboEdit> editor = OpenDateCell(0);
    ASSERT_NE(editor, nullptr);
    const auto clickButton = [&] {
        QTest::mouseClick(editor->Button(), Qt::LeftButton, {}, editor->Button()->rect().center());
    };
    // A day of the next month, shown in the grid's last row, is refused as a typed one is: the
    // message, and the cell open with the day's text.
    Prompt->Answer(TMessageButton::OK);
    TCalendarSeen seen =
        Pick(clickButton, [](TfmCalendar& calendar) { DoubleClickDay(calendar, QDate(2005, 11, 3)); });
    ASSERT_TRUE(seen.Shown);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Date out of range.");
    ASSERT_TRUE(editor);
    ASSERT_EQ(Window->CellDelegate()->OpenEditor(), editor.data());
    EXPECT_EQ(editor->text(), "03/11/05");
    EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, 15));

    // The calendar opened again starts on the period's last day; a double click on a day of the
    // period enters it.
    seen = Pick(clickButton, [](TfmCalendar& calendar) { DoubleClickDay(calendar, QDate(2005, 10, 5)); });
    EXPECT_EQ(seen.Opened, EncodeDateNum(2005, 10, 31));
    EXPECT_EQ(Window->CellDelegate()->OpenEditor(), nullptr);
    EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, 5));
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, TheCalendarKeysOnTheGridOpenOnlyADateCellThatTakesTyping) {
    Window->show();
    Window->activateWindow();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "GST");
    QTest::keyClick(Window->grdTransactions, Qt::Key_Down);
    QApplication::processEvents();
    ASSERT_EQ(Model().rowCount(), 4);
    QTableView& grid = *Window->grdTransactions;
    grid.setFocus();
    const auto pressOn = [&](int row, int column, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        grid.setCurrentIndex(Cell(row, column));
        QApplication::processEvents();
        return Pick([&] { QTest::keyClick(&grid, key, modifiers); },
                    [](TfmCalendar& calendar) { PressOnCalendar(calendar, Qt::Key_Escape); });
    };
    // Not the reference, nor the date of the generated tax line.
    EXPECT_FALSE(pressOn(0, G::colReference, Qt::Key_F4, {}).Shown);
    EXPECT_FALSE(pressOn(1, G::colDate, Qt::Key_F4, {}).Shown);
    EXPECT_EQ(Window->CellDelegate()->OpenEditor(), nullptr);

    // The blank line's date cell opens, with its calendar on the period's last day; Escape leaves
    // the cell open for typing.
    const TCalendarSeen seen = pressOn(3, G::colDate, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(seen.Shown);
    EXPECT_EQ(seen.Opened, EncodeDateNum(2005, 10, 31));
    ASSERT_NE(Window->CellDelegate()->OpenEditor(), nullptr);
    EXPECT_EQ(Window->CellDelegate()->OpenIndex(), QPersistentModelIndex(Cell(3, G::colDate)));
    EXPECT_TRUE(List().GetItem(3)->HasAnyFlag({TF::Blank}));
    Window->CellDelegate()->DiscardOpenEditor();
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, APageClosedUnderTheCalendarTakesNothingFromIt) {
    Window->show();
    Window->activateWindow();
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    const QPointer<TCustomComboEdit> editor = OpenDateCell(0);
    ASSERT_NE(editor, nullptr);
    // The frame closes the file's pages while the calendar is up; the day picked then goes nowhere.
    Prompt->Answer(TMessageButton::Yes);
    const TCalendarSeen seen = Pick([&] { QTest::keyClick(editor, Qt::Key_F4); },
                                    [&](TfmCalendar& calendar) {
                                        EXPECT_EQ(Window->CloseAllPages(0, false, true), 1);
                                        PressOnCalendar(calendar, Qt::Key_Right);
                                        PressOnCalendar(calendar, Qt::Key_Return);
                                    });
    ASSERT_TRUE(seen.Shown);
    EXPECT_EQ(Window->CellDelegate()->OpenEditor(), nullptr);
    EXPECT_EQ(Window->ShownPageIndex(), -1);
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, 15));
    EXPECT_EQ(Window->CloseAllPages(0, false, false), 1);
}

TEST_F(DataEntryWindowTest, ClosingTheWindowWritesTheKeyedLineToItsMonthFile) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "GST");
    Down();
    // October's payments of the year to June 2006.
    const QString monthFile = DataDir + "/ABC123/ABC12306.PA4";
    EXPECT_FALSE(QFileInfo::exists(monthFile));
    Window->show();
    QApplication::processEvents();
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(File->DataEntryPageCount(), 0);
    EXPECT_TRUE(Prompt->Shown.empty());
    ASSERT_TRUE(QFileInfo::exists(monthFile));
    TTransactionList stored(File->ListSources(2006), pkPayments, 2006, 4, 12,
                            TOptionSet{Option::Load, Option::NoBlankLine}, false);
    ASSERT_GE(stored.Count(), 1);
    EXPECT_EQ(std::tuple(stored.GetItem(0)->Amount, stored.GetItem(0)->Details()),
              std::tuple(100.0, QString("Office rent")));
}

TEST_F(DataEntryWindowTest, ARowStillBeingKeyedAsksAndCancelKeepsTheWindowOpen) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "50", "");
    Window->show();
    QApplication::processEvents();
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_FALSE(Window->close());
    EXPECT_TRUE(Window->isVisible());
    EXPECT_EQ(File->DataEntryPageCount(), 1);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_TRUE(Window->close());
    EXPECT_EQ(File->DataEntryPageCount(), 0);
}

TEST_F(DataEntryWindowTest, AnAccountAddedWhileKeyingIsWrittenBeforeTheLineThatNamesIt) {
    TAccountsChart& accounts = *File->AccountsChart(2006);
    const TAccountFormat* format = accounts.Format();
    TServices::SetAddAccountOffer([format](TAccountsChart& chart, const QString& codeText, int& index) {
        auto detail = std::make_unique<TAccountDetail>(format);
        TAccountCode code;
        if (!format->TextToCode(codeText.trimmed(), code, false, false))
            return false;
        detail->SetCode(code);
        detail->DeriveAccountType("ACC");
        detail->Description = "Cleaning";
        index = chart.AddAccount(std::move(detail));
        chart.Saved = false;
        return index >= 0;
    });
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    Key(0, {{G::colDate, "15/10/05"},
            {G::colReference, "124"},
            {G::colAccount, "5200"},
            {G::colAmount, "30"},
            {G::colTaxCodes, ""},
            {G::colDetails, "Cleaning"}});
    TServices::SetAddAccountOffer({});
    Down();
    ASSERT_GE(accounts.IndexOf("5200"), 0);
    // The page alone is closed, as a report run or a process does.
    EXPECT_EQ(Window->CloseAllPages(0, false, true), 1);
    EXPECT_TRUE(accounts.Saved);
    const TAccountsChart stored(File->EntityDetail().ChartEntity(), format, TOptionSet{Option::Standard, Option::Load},
                                2006);
    EXPECT_GE(stored.IndexOf("5200"), 0);
}

// --- keying by the keyboard alone ------------------------------------------------------------------

namespace {

struct TKeyStroke {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

// A cell as row and column.
using TSpot = std::pair<int, int>;

} // namespace

// Every field of a payment typed into the grid and left with the same key: the line is finished
// as Down finishes it and the keyboard stands in the date of the new line.
TEST_F(DataEntryWindowTest, AWholeLineTypedAndLeftWithTabOrEnterEndsOnANewLine) {
    for (const TKeyStroke& forward : {TKeyStroke{"Tab", Qt::Key_Tab}, TKeyStroke{"Return", Qt::Key_Return},
                                      TKeyStroke{"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier}}) {
        SCOPED_TRACE(forward.Name);
        ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
        ASSERT_EQ(Lines(), QStringList{"blank 0.00"});
        StandOn(0, G::colDate, false);
        // The page's columns in order: date, reference, account, amount, tax codes, details, capital
        // acquisition, non-cash and bank account; the last three keep what they open with.
        for (const char* field : {"15/10/05", "123", "5000", "110", "GST", "Office rent", "", "", ""}) {
            Type(field);
            Press(forward.Key, forward.Modifiers);
        }
        EXPECT_EQ(Lines(), (QStringList{"entry 100.00 Office rent", GstLine,
                                        "total 110.00 Payment Dissection Total", "blank 0.00"}));
        const TTransactionDetail& entry = *List().GetItem(0);
        EXPECT_EQ(std::tuple(entry.Date, Model().data(Cell(0, G::colReference)).toString(),
                             Model().data(Cell(0, G::colAccount)).toString()),
                  std::tuple(EncodeDateNum(2005, 10, 15), QString("000123"), QString("5000")));
        EXPECT_EQ(Window->grdTransactions->currentIndex(), Cell(3, G::colDate));
        EXPECT_EQ(OpenCell(), Cell(3, G::colDate));
        EXPECT_FALSE(Window->Editor()->RowPending());
        EXPECT_TRUE(Prompt->Shown.isEmpty());
        ClosePages();
    }
}

// Tab in the last cell of a line goes on to the next line that takes typing, never back to the
// date of the same line.
TEST_F(DataEntryWindowTest, TabInALinesLastCellGoesOnToTheNextLine) {
    struct TCase {
        const char* Name;
        // Keys the page's lines; the row whose last cell Tab leaves.
        std::function<int()> Prepare;
        TSpot Reached;
        QStringList Lines;
    };
    const QString rent20 = QStringLiteral("entry 20.00 Office rent");
    const TCase cases[] = {
        {"the new line just keyed is finished and a new line started",
         [&] {
             KeyPayment(0, "110", "GST");
             return 0;
         },
         {3, G::colDate},
         {"entry 100.00 Office rent", GstLine, "total 110.00 Payment Dissection Total", "blank 0.00"}},
        {"a line above another goes to the next keyed line past its tax lines",
         [&] {
             KeyPayment(0, "110", "GST");
             Down();
             KeyPayment(3, "20", "");
             Down();
             return 0;
         },
         {3, G::colDate},
         {"entry 100.00 Office rent", GstLine, "total 110.00 Payment Dissection Total", rent20, "blank 0.00"}},
        {"an untouched new line stays on its last cell", [] { return 0; }, {0, G::colBankAccount},
         {"blank 0.00"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
        ASSERT_EQ(Lines(), QStringList{"blank 0.00"});
        const int row = test.Prepare();
        StandOn(row, G::colBankAccount, true);
        Press(Qt::Key_Tab);
        EXPECT_EQ(Spot(), test.Reached);
        EXPECT_EQ(Lines(), test.Lines);
        ClosePages();
    }
}

// Up and Down while a cell is being typed in take the typed value and move to the line above or
// below; Down on the last line finishes it and goes to a new line.
TEST_F(DataEntryWindowTest, UpAndDownWhileTypingTakeTheValueAndMove) {
    struct TCase {
        const char* Name;
        Qt::Key Key;
        // Keys the page's lines; the row whose amount is typed.
        std::function<int()> Prepare;
        TSpot Reached;
        QStringList Lines;
    };
    const TCase cases[] = {
        {"Down on the new line goes to a new line", Qt::Key_Down, [] { return 0; }, {1, G::colDate},
         {"entry 75.00 Office rent", "blank 0.00"}},
        {"Up on the first line stays there", Qt::Key_Up, [] { return 0; }, {0, G::colAmount},
         {"entry 75.00 Office rent"}},
        {"Down to the line below", Qt::Key_Down,
         [&] {
             Down();
             return 0;
         },
         {1, G::colAmount}, {"entry 75.00 Office rent", "blank 0.00"}},
        {"Up to the line above", Qt::Key_Up,
         [&] {
             Down();
             KeyPayment(1, "20", "");
             return 1;
         },
         {0, G::colAmount}, {"entry 50.00 Office rent", "entry 75.00 Office rent", "blank 0.00"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Prompt->Shown.clear();
        ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
        ASSERT_EQ(Lines(), QStringList{"blank 0.00"});
        KeyPayment(0, "50", "");
        const int row = test.Prepare();
        StandOn(row, G::colAmount, true);
        Type("75");
        Press(test.Key);
        EXPECT_EQ(Spot(), test.Reached);
        EXPECT_EQ(OpenCell(), QModelIndex());
        EXPECT_EQ(Lines(), test.Lines);
        EXPECT_TRUE(Prompt->Shown.isEmpty());
        ClosePages();
    }
}

// Whatever key leaves a cell, a refused value keeps its editor open with the text selected.
TEST_F(DataEntryWindowTest, ARefusedValueKeepsItsEditorWhicheverKeyLeaves) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "50", "");
    for (const TKeyStroke& leave :
         {TKeyStroke{"Tab", Qt::Key_Tab}, TKeyStroke{"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier},
          TKeyStroke{"Return", Qt::Key_Return}, TKeyStroke{"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
          TKeyStroke{"Shift+Return", Qt::Key_Return, Qt::ShiftModifier}, TKeyStroke{"Up", Qt::Key_Up},
          TKeyStroke{"Down", Qt::Key_Down}}) {
        SCOPED_TRACE(leave.Name);
        Prompt->Shown.clear();
        StandOn(0, G::colAmount, true);
        const QPointer<QLineEdit> editor = qobject_cast<QLineEdit*>(Window->CellDelegate()->OpenEditor());
        ASSERT_NE(editor, nullptr);
        Type("12x");
        Prompt->Answer(TMessageButton::OK);
        Press(leave.Key, leave.Modifiers);
        EXPECT_EQ(Prompt->Texts(), QStringList{"Invalid amount."});
        ASSERT_TRUE(editor);
        EXPECT_EQ(Window->CellDelegate()->OpenEditor(), editor.data());
        EXPECT_EQ(editor->selectedText(), "12x");
        EXPECT_EQ(Window->grdTransactions->currentIndex(), Cell(0, G::colAmount));
        EXPECT_EQ(List().GetItem(0)->Amount, 50.0);
        Window->CellDelegate()->DiscardOpenEditor();
    }
    ClosePages();
}

// Enter on a cell that is not being typed in goes forward as while typing, Shift+Enter back; the
// cell reached opens for typing.
TEST_F(DataEntryWindowTest, EnterOnACellNotBeingTypedInMovesOn) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "50", "");
    const struct {
        TKeyStroke Stroke;
        int From;
        int To;
    } cases[] = {{{"Return", Qt::Key_Return}, G::colReference, G::colAccount},
                 {{"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier}, G::colAmount, G::colTaxCodes},
                 {{"Shift+Return", Qt::Key_Return, Qt::ShiftModifier}, G::colAccount, G::colReference}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.Stroke.Name);
        StandOn(0, test.From, false);
        ASSERT_EQ(OpenCell(), QModelIndex());
        Press(test.Stroke.Key, test.Stroke.Modifiers);
        EXPECT_EQ(Window->grdTransactions->currentIndex(), Cell(0, test.To));
        EXPECT_EQ(OpenCell(), Cell(0, test.To));
        Window->CellDelegate()->DiscardOpenEditor();
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ClosePages();
}

// Shift+Tab goes back through the line and from its first cell to the last cell of the line
// above that takes typing, past the generated lines between.
TEST_F(DataEntryWindowTest, ShiftTabGoesBackToTheLastCellOfTheKeyedLineAbove) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "GST");
    Down();
    ASSERT_EQ(Model().rowCount(), 4);
    StandOn(3, G::colReference, true);
    for (const QModelIndex& reached : {Cell(3, G::colDate), Cell(0, G::colBankAccount), Cell(0, G::colNonCash)}) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_EQ(Window->grdTransactions->currentIndex(), reached);
        EXPECT_EQ(OpenCell(), reached);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty());
    ClosePages();
}

// --- the keyboard's place --------------------------------------------------------------------------

namespace {

// The window inside a frame whose first control takes the keyboard, as the main window's Active
// File box does: a keyboard that falls out of the window lands there.
struct TFramed {
    explicit TFramed(TfmDataEntry& window) : Window(window) {
        auto* layout = new QVBoxLayout(&Frame);
        Box = new QComboBox(&Frame);
        Box->addItems({"ABC123", "XYZ999"});
        layout->addWidget(Box);
        layout->addWidget(&Window);
        Frame.resize(900, 560);
        Frame.show();
        Frame.activateWindow();
        QApplication::processEvents();
    }
    ~TFramed() {
        Window.hide();
        Window.setParent(nullptr);
    }
    TFramed(const TFramed&) = delete;
    TFramed& operator=(const TFramed&) = delete;
    TfmDataEntry& Window;
    QWidget Frame;
    QComboBox* Box = nullptr;
};

} // namespace

// The page opened, and a page brought forward, give the keyboard to the grid's current cell: the
// first key typed starts the date of the new line, and the line goes on by Tab from there (its
// amount typed with thousands grouped as the grid shows them).
TEST_F(DataEntryWindowTest, TheKeyboardStartsInTheCurrentCellOfThePageOpened) {
    TFramed framed(*Window);
    QTableView* grid = Window->grdTransactions;
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    QApplication::processEvents();
    EXPECT_EQ(KeyboardWidget(), grid);
    EXPECT_EQ(Spot(), TSpot(0, G::colDate));
    const struct {
        const char* Typed;
        int Column; // the cell open with it
    } fields[] = {{"15/10/05", G::colDate},   {"123", G::colReference}, {"5000", G::colAccount},
                  {"1,100.50", G::colAmount}, {"", G::colTaxCodes},     {"Office rent", G::colDetails}};
    for (const auto& field : fields) {
        SCOPED_TRACE(field.Typed);
        Type(field.Typed);
        ASSERT_NE(Window->CellDelegate()->OpenEditor(), nullptr);
        EXPECT_EQ(KeyboardWidget(), Window->CellDelegate()->OpenEditor());
        EXPECT_EQ(OpenCell(), Cell(0, field.Column));
        Press(Qt::Key_Tab);
    }
    EXPECT_TRUE(Prompt->Shown.isEmpty()) << Prompt->Texts().join('|').toStdString();
    const TTransactionDetail& entry = *List().GetItem(0);
    EXPECT_EQ(std::tuple(entry.Date, entry.Amount, entry.Details()),
              std::tuple(EncodeDateNum(2005, 10, 15), 1100.5, QString("Office rent")));

    // Another page opened, then the first brought forward by its tab.
    Window->CellDelegate()->DiscardOpenEditor();
    ASSERT_EQ(Window->OpenPage(pkReceipts, 4), 1);
    QApplication::processEvents();
    EXPECT_EQ(KeyboardWidget(), grid);
    framed.Box->setFocus();
    QTest::mouseClick(Window->tabPages, Qt::LeftButton, {}, Window->tabPages->tabRect(0).center());
    QApplication::processEvents();
    ASSERT_EQ(Window->CurrentPageKind(), pkPayments);
    EXPECT_EQ(KeyboardWidget(), grid);
    ClosePages();
}

// A day picked in the calendar goes through the cell's check and the keyboard is back in that
// cell, the window's frame untouched: the line is neither finished nor written, and Tab goes on
// to the reference.
TEST_F(DataEntryWindowTest, APickedDayLeavesTheKeyboardInItsCell) {
    TFramed framed(*Window);
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    QApplication::processEvents();
    const struct {
        const char* Name;
        std::function<void(TfmCalendar&)> Steps;
        int Day;
    } picks[] = {
        {"Enter",
         [](TfmCalendar& calendar) {
             PressOnCalendar(calendar, Qt::Key_Left);
             PressOnCalendar(calendar, Qt::Key_Return);
         },
         30},
        {"double click", [](TfmCalendar& calendar) { DoubleClickDay(calendar, QDate(2005, 10, 20)); }, 20}};
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.Name);
        QTableView* grid = Window->grdTransactions;
        grid->setFocus();
        grid->setCurrentIndex(Cell(0, G::colDate));
        QApplication::processEvents();
        // F4 on the grid opens the date cell and its calendar, starting on the period's last day.
        const TCalendarSeen seen = Pick([] { Press(Qt::Key_F4); }, pick.Steps);
        ASSERT_TRUE(seen.Shown);
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(KeyboardWidget(), grid);
        EXPECT_EQ(Spot(), TSpot(0, G::colDate));
        EXPECT_EQ(OpenCell(), QModelIndex());
        EXPECT_EQ(framed.Box->currentIndex(), 0);
        EXPECT_EQ(List().GetItem(0)->Date, EncodeDateNum(2005, 10, pick.Day));
        EXPECT_EQ(Lines(), QStringList{"entry 0.00"});
        EXPECT_FALSE(QFileInfo::exists(DataDir + "/ABC123/ABC12306.PA4"));
        Press(Qt::Key_Tab);
        EXPECT_EQ(OpenCell(), Cell(0, G::colReference));
        EXPECT_EQ(KeyboardWidget(), Window->CellDelegate()->OpenEditor());
        EXPECT_TRUE(Prompt->Shown.isEmpty());
        Window->CellDelegate()->DiscardOpenEditor();
    }
    ClosePages();
}

// Escape on a new line that was never finished takes it back to the blank line, whether a cell is
// open or not (what was typed in an open cell is undone first): nothing of it is written later.
// On a keyed line Escape only leaves the open cell as it was.
TEST_F(DataEntryWindowTest, EscapeTakesANewLineBackToTheBlankLine) {
    struct TCase {
        const char* Name;
        // Keys the page; the keyboard then stands on the line where Escape is pressed.
        std::function<void()> Prepare;
        QStringList Lines;
        TSpot Spot;
    };
    const TCase cases[] = {
        {"date and reference typed, the account open",
         [&] {
             StandOn(0, G::colDate, false);
             for (const char* field : {"15/10/05", "123"}) {
                 Type(field);
                 Press(Qt::Key_Tab);
             }
             ASSERT_EQ(OpenCell(), Cell(0, G::colAccount));
         },
         {"blank 0.00"},
         {0, G::colAccount}},
        {"what was typed in the open cell undone first",
         [&] {
             StandOn(0, G::colDate, false);
             for (const char* field : {"15/10/05", "123"}) {
                 Type(field);
                 Press(Qt::Key_Tab);
             }
             Type("50");
             Press(Qt::Key_Escape);
             ASSERT_EQ(OpenCell(), QModelIndex());
             EXPECT_EQ(Model().data(Cell(0, G::colReference)).toString(), "000123");
             EXPECT_TRUE(Window->Editor()->RowPending());
         },
         {"blank 0.00"},
         {0, G::colAccount}},
        {"fields taken, no cell open",
         [&] {
             Key(0, {{G::colDate, "15/10/05"}, {G::colReference, "123"}, {G::colAmount, "40"}});
             StandOn(0, G::colDetails, false);
         },
         {"blank 0.00"},
         {0, G::colDetails}},
        {"a keyed line keeps what it holds",
         [&] {
             KeyPayment(0, "110", "");
             Down();
             StandOn(0, G::colAmount, true);
             Type("99");
         },
         {"entry 110.00 Office rent", "blank 0.00"},
         {0, G::colAmount}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
        test.Prepare();
        Press(Qt::Key_Escape);
        EXPECT_EQ(OpenCell(), QModelIndex());
        EXPECT_EQ(KeyboardWidget(), Window->grdTransactions);
        EXPECT_EQ(Spot(), test.Spot);
        EXPECT_EQ(Lines(), test.Lines);
        EXPECT_FALSE(Window->Editor()->RowPending());
        // The next command finds nothing to write.
        Window->RunCommand(decGenerateContras);
        EXPECT_EQ(Lines().filter("entry"), test.Lines.filter("entry"));
        EXPECT_TRUE(Prompt->Shown.isEmpty());
        ClosePages();
    }
}

// The keys of the page's commands reach them from an open cell too, although a line editor would
// take Ctrl+Insert and Ctrl+Delete for itself.
TEST_F(DataEntryWindowTest, AnOpenCellLeavesTheCommandKeysToTheCommands) {
    ASSERT_EQ(Window->OpenPage(pkPayments, 4), 0);
    KeyPayment(0, "110", "");
    Down();
    int inserted = 0;
    QAction insert(Window.get());
    insert.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    QObject::connect(&insert, &QAction::triggered, [&] { ++inserted; });
    Window->addAction(&insert);
    StandOn(0, G::colDetails, true);
    auto* editor = qobject_cast<QLineEdit*>(Window->CellDelegate()->OpenEditor());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Press(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(inserted, 1);
    EXPECT_EQ(editor->text(), "Office rent");
    EXPECT_FALSE(
        TTransactionCellDelegate::IsCommandKey(QKeyEvent(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier)));
    EXPECT_TRUE(TTransactionCellDelegate::IsCommandKey(
        QKeyEvent(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier)));
    Window->removeAction(&insert);
    ClosePages();
}
