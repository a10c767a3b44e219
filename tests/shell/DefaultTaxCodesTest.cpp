#include "tests/core/EntityTestSupport.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/StandardChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Money.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "entry/dataentry/DataEntryEditor.h"
#include "reports/LedgerReports.h"
#include "shell/desktop/Desktop.h"
#include "shell/desktop/DesktopWidgets.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/main/ChildWindowRegistry.h"
#include "shell/main/QuilvaneMain.h"
#include "shell/properties/FileProperties.h"
#include "shell/shutdown/BackupAnswer.h"

#include <QTest>
#include <QtWidgets>

namespace TF = TransactionFlag;
using G = TTransactionGrid;

namespace {

// A practice's first file: the data folder holds what the first run installs (the standard
// charts and the default tax codes), the new-file wizard creates a company with taxes, and a
// payment with tax is keyed on it at once.
class DefaultTaxCodesTest : public TEntityFixture, public IBackupQuestion {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        ASSERT_TRUE(TStandardChart::Install(TProgramParams::ShippedStandardChartPath(), DataDir, "QUILVANE",
                                            Params->EntityTypes.Codes())
                        .isEmpty());
        ASSERT_TRUE(
            TStandardChart::InstallTaxCodes(TProgramParams::ShippedTaxCodesPath(), DataDir, "QUILVANE")
                .isEmpty());
        TMainWindowParts parts;
        parts.BackupQuestion = this;
        parts.RunDialog = [](QDialog& dialog) { return FillWizard(dialog); };
        Window = std::make_unique<TfmQuilvaneMain>(*Params, "WORKSTATION1", parts);
        Registry = std::make_unique<TChildWindowRegistry>(*Window);
        Window->SetChildWindows(Registry.get());
    }
    void TearDown() override {
        Window.reset();
        Registry.reset();
        TEntityFixture::TearDown();
    }
    TBackupAnswer Ask(const QString&) override { return TBackupAnswer::No; }

    // The wizard as a user fills it: code, name and type, Include Taxes ticked; the year to
    // June 2026 in twelve periods.
    static int FillWizard(QDialog& dialog) {
        auto& wizard = dynamic_cast<TfmFileProperties&>(dialog);
        QTest::keyClicks(wizard.medEntityCode, "acme01");
        wizard.edtEntityName->setText("Acme Pty Ltd");
        wizard.cboEntityType->setCurrentIndex(wizard.cboEntityType->findData("COY"));
        wizard.cbxIncludeTaxes->setChecked(true);
        while (wizard.CurrentPage() != TfmFileProperties::DataEntry)
            wizard.btnNext->click();
        wizard.speFinancialYear->setValue(2026);
        wizard.cboYearEndMonth->setCurrentIndex(5);
        while (wizard.btnOK->isHidden())
            wizard.btnNext->click();
        wizard.btnOK->click();
        return wizard.result();
    }

    // File > New; the new file, open on the desktop.
    TEntityInfo& NewFile() {
        Prompt->Answer(TMessageButton::OK); // the file has been created
        Window->actNew->trigger();
        EXPECT_EQ(Prompt->Texts(), QStringList{"ACME01 \"Acme Pty Ltd\" has been successfully created."});
        EXPECT_EQ(Window->Desktop().Files().Count(), 1);
        return *Window->Desktop().Files().File(0);
    }

    std::unique_ptr<TChildWindowRegistry> Registry;
    std::unique_ptr<TfmQuilvaneMain> Window;
};

// The lines of the ledger's text that hold a text.
QStringList LinesWith(const QStringList& lines, const QString& text) {
    QStringList found;
    for (const QString& line : lines)
        if (line.contains(text))
            found << line.simplified();
    return found;
}

} // namespace

// The new file's year starts with the shipped codes and writes them as its own at once.
TEST_F(DefaultTaxCodesTest, ANewFileStartsWithTheShippedTaxCodes) {
    TEntityInfo& file = NewFile();
    EXPECT_TRUE(file.EntityDetail().Tax);
    const TTaxRateChart& rates = *file.TaxRateChart(2026);
    EXPECT_EQ(rates.GetCodesOfTypes(0xFFFFFFFFu), "CAG,EXP,FRE,GST,INP,ITP,N-T,NCF,NCG");
    EXPECT_TRUE(rates.Saved);
    // Its own file, not the practice's template, now holds them; a change to the template later
    // does not reach the file.
    ASSERT_TRUE(QFile::remove(DataDir + "/M_DETAIL/QUILVANE.TXR"));
    TTaxRateChart reread(rates.Entity, nullptr, rates.Format(), {Option::Load}, 2026);
    EXPECT_EQ(reread.Count(), 9);
    EXPECT_TRUE(reread.Saved);
}

// A payment of 110.00 keyed with the purchase code is split into 100.00 and its 10.00 of tax on
// GST Paid; the general ledger shows both, and the bank's 110.00.
TEST_F(DefaultTaxCodesTest, APaymentWithThePurchaseCodeGetsItsTaxLineAndTheLedgerShowsBoth) {
    TEntityInfo& file = NewFile();
    const int index = file.OpenDataEntryPage(pkPayments, 4, {Option::Standard, Option::Load}, false);
    ASSERT_GE(index, 0);
    TDataEntryPage& page = *file.DataEntryPage(index);
    TDataEntryEditor editor(page);
    const int row = editor.MoveTo(editor.Count() - 1, 0);
    const std::pair<int, QString> fields[] = {{G::colDate, "15/10/25"},      {G::colReference, "101"},
                                              {G::colAccount, "00-1180-00"}, {G::colAmount, "110"},
                                              {G::colTaxCodes, "NCG"},       {G::colDetails, "Office rent"}};
    for (const auto& [column, text] : fields) {
        const TDataEntryEditor::TFieldResult result = editor.LeaveField(row, column, text);
        ASSERT_TRUE(result.Valid) << text.toStdString() << ": " << result.Message.toStdString();
    }
    editor.FinishRow();
    EXPECT_EQ(Prompt->Texts().size(), 1)
        << "no message while keying: " << Prompt->Texts().join('\n').toStdString();

    const TTransactionList& list = page.List();
    ASSERT_GE(list.Count(), 3);
    const TTransactionDetail& entry = *list.GetItem(0);
    const TTransactionDetail& tax = *list.GetItem(1);
    EXPECT_EQ(entry.Amount, 100.00);
    EXPECT_TRUE(tax.HasAnyFlag({TF::TaxLine}));
    EXPECT_EQ(tax.Amount, 10.00);
    EXPECT_EQ(tax.Details(), "NCG tax (10.00%) on Office rent");
    const TAccountsChart& accounts = *file.AccountsChart(2026);
    EXPECT_EQ(tax.PostingCode, accounts.GetAccount(accounts.IndexOfCodeText("00-3110-00"))->Code());
    TOptionSet options{Option::Standard};
    ASSERT_EQ(file.SaveYearCharts(2026, options, false), 0);

    const TLedger ledger = BuildLedger(file);
    ASSERT_EQ(ledger.Result, 0);
    const TReportText report = LedgerText(ledger);
    // Each account's heading, then its lines: the rent's 100.00 and the tax's 10.00 on GST Paid
    // are debits, the bank pays both.
    const struct {
        const char* Heading;
        QStringList Lines;
    } expected[] = {
        {"00-1180-00 · Rent", {"15/10/2025 000101 Pay Office rent 100.00 100.00"}},
        {"00-2000-00 · Cheque Account",
         {"15/10/2025 000101 Pay Office rent 100.00 -100.00",
          "15/10/2025 000101 Pay NCG tax (10.00%) on Office rent 10.00 -110.00"}},
        {"00-3110-00 · GST Paid", {"15/10/2025 000101 Pay NCG tax (10.00%) on Office rent 10.00 10.00"}},
    };
    for (const auto& account : expected) {
        SCOPED_TRACE(account.Heading);
        qsizetype heading = 0;
        while (heading < report.Lines.size() && report.Lines[heading].simplified() != account.Heading)
            ++heading;
        ASSERT_LT(heading, report.Lines.size()) << report.Lines.join('\n').toStdString();
        EXPECT_EQ(LinesWith(report.Lines.mid(heading, 5), "15/10/2025"), account.Lines)
            << report.Lines.join('\n').toStdString();
    }
    // A debit on GST Paid, a credit on the bank.
    for (const TLedgerAccount& account : ledger.Accounts) {
        for (const TLedgerLine& line : account.Lines) {
            if (line.Item.Entry.HasAnyFlag({TF::TaxLine})) {
                EXPECT_EQ(line.Item.Amount, account.Code == "00-3110-00" ? 10.00 : -10.00)
                    << account.Code.toStdString();
            }
        }
    }
    EXPECT_EQ(RoundToCent(ledger.TotalDebits), 110.00);
    EXPECT_EQ(RoundToCent(ledger.TotalCredits), 110.00);
}
