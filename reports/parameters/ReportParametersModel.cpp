#include "reports/parameters/ReportParametersModel.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/RunParams.h"
#include "core/files/Paths.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/parameters/TransferSelection.h"

#include <QFileInfo>

namespace {

// The block's periods are the monthly periods of the file's financial year.
constexpr int MonthsPerYear = 12;

bool IsTransferIn(int processKind) {
    return processKind == prTransferFromClient || processKind == prTransferFromAccountant;
}

} // namespace

bool TReportParametersModel::Serves(int processKind) {
    return FieldsOf(processKind) != fdNone;
}

unsigned TReportParametersModel::FieldsOf(int processKind) {
    switch (processKind) {
    case prExport:
        return fdPeriodRange | fdFileName | fdExportFormat;
    case prImportBankStatements:
        return fdDateRange | fdBankAccount | fdFileName;
    case prTransferFromClient:
    case prTransferFromAccountant:
        return fdTransfer | fdPeriodRange | fdPageKinds;
    case prTransferBankStatementEntries:
        return fdDateRange | fdBankAccount;
    case prImportTransactions:
        return fdDateRange | fdFileName;
    default:
        return fdNone;
    }
}

quint32 TReportParametersModel::DefaultSelection(int processKind) {
    quint32 word = 0;
    if (processKind == prTransferFromAccountant) {
        for (int group = 0; group < TTransferSelection::GroupCount; ++group)
            word = TTransferSelection::Set(word, group, true, tmReplace);
    } else if (processKind == prTransferFromClient) {
        for (int group = 0; group < TTransferSelection::GroupCount; ++group) {
            const bool merged = group == tgAccounts || group == tgStdDescriptions || group == tgTaxRates ||
                                group == tgCurrencyRates;
            const bool replaced = group == tgTransactions;
            word = TTransferSelection::Set(word, group, merged || replaced, merged ? tmMerge : tmReplace);
        }
    }
    return word;
}

void TReportParametersModel::Load(const TReportSetup& setup, const QString& exportFormatName) {
    if (!Serves(setup.ProcessKind))
        throw EQuilvaneError(
            QStringLiteral("Process %1 has no run parameters to choose.").arg(setup.ProcessKind));
    Process = setup.ProcessKind;
    FieldSet = FieldsOf(Process);
    FinancialYear = setup.Year;
    EndMonth = setup.EndMonth();
    FirstDay = PeriodStart(1);
    LastDay = PeriodEnd(MonthsPerYear);

    // A block that holds no selection yet (the rule) starts from the process's defaults.
    SelectionWord = !IsTransferIn(Process)         ? 0
                    : setup.TransferSelection != 0 ? setup.TransferSelection
                                                   : DefaultSelection(Process);
    Offered = setup.StartPageKinds & FiledPageKinds;
    Chosen = setup.PageKinds & Offered;
    PeriodFrom = qBound(1, setup.FromPeriod, MonthsPerYear);
    PeriodTo = qBound(1, setup.ToPeriod, MonthsPerYear);
    DateFrom = setup.FromDate;
    DateTo = setup.ToDate;

    Banks.clear();
    if (setup.Accounts)
        for (int i = 0; i < setup.Accounts->Count(); ++i) {
            const TAccountDetail* account = setup.Accounts->GetAccount(i);
            if (account->BankDetails && account->InBalanceSheetRange())
                Banks.append({setup.Accounts->GetCode(i), account->Description});
        }
    // One bank account needs no choosing.
    Bank = (!AllBankAccountsAllowed() && Banks.size() == 1) ? 0 : -1;

    File = setup.OutputText;
    const int format = IndexOfExportFormat(exportFormatName);
    Format = format >= 0 ? format : DefaultExportFormat;
}

// ---- Transfer ----------------------------------------------------------------------------------

bool TReportParametersModel::Included(int group) const {
    return TTransferSelection::Included(SelectionWord, group);
}

int TReportParametersModel::Mode(int group) const {
    return TTransferSelection::Mode(SelectionWord, group);
}

void TReportParametersModel::SetIncluded(int group, bool include) {
    SelectionWord = TTransferSelection::Set(SelectionWord, group, include, Mode(group));
}

void TReportParametersModel::SetMode(int group, int mode) {
    if (!TTransferSelection::ModeAllowed(group, mode))
        throw EQuilvaneError(QStringLiteral("%1 cannot arrive by mode %2.")
                                 .arg(TTransferSelection::GroupName(group))
                                 .arg(mode));
    SelectionWord = TTransferSelection::Set(SelectionWord, group, Included(group), mode);
}

bool TReportParametersModel::TransactionChoicesEnabled() const {
    return !Shows(fdTransfer) || Included(tgTransactions);
}

// ---- Page kinds --------------------------------------------------------------------------------

bool TReportParametersModel::PageKindChosen(int kind) const {
    return kind >= 0 && kind < 16 && ((Chosen >> kind) & 1u) != 0;
}

void TReportParametersModel::SetPageKind(int kind, bool chosen) {
    if (kind < 0 || kind >= 16 || ((Offered >> kind) & 1u) == 0)
        throw EQuilvaneError(QStringLiteral("Page kind %1 is not offered.").arg(kind));
    const auto bit = static_cast<quint16>(1u << kind);
    Chosen = chosen ? static_cast<quint16>(Chosen | bit) : static_cast<quint16>(Chosen & ~bit);
}

// ---- Periods -----------------------------------------------------------------------------------

QStringList TReportParametersModel::PeriodNames() const {
    QStringList names;
    for (int period = 1; period <= MonthsPerYear; ++period) {
        QString name;
        FormatPeriodMonths(period, MonthsPerYear, FinancialYear, name, EndMonth);
        names.append(name);
    }
    return names;
}

void TReportParametersModel::CheckPeriod(int period) {
    if (period < 1 || period > MonthsPerYear)
        throw EQuilvaneError(QStringLiteral("Period %1 is not a month of the financial year.").arg(period));
}

void TReportParametersModel::SetFromPeriod(int period) {
    CheckPeriod(period);
    PeriodFrom = period;
}

void TReportParametersModel::SetToPeriod(int period) {
    CheckPeriod(period);
    PeriodTo = period;
}

double TReportParametersModel::PeriodStart(int period) const {
    return PeriodStartDate(period, FinancialYear, MonthsPerYear, EndMonth);
}

double TReportParametersModel::PeriodEnd(int period) const {
    return PeriodEndDate(period, FinancialYear, MonthsPerYear, EndMonth);
}

// ---- Bank account and file ---------------------------------------------------------------------

void TReportParametersModel::SetBankIndex(int index) {
    if (index < -1 || index >= Banks.size())
        throw EQuilvaneError(QStringLiteral("Bank account %1 is not in the list.").arg(index));
    Bank = index;
}

QString TReportParametersModel::BankAccountText(const TBankAccount& account) {
    return account.Description.isEmpty() ? account.Code
                                         : account.Code + QStringLiteral(" - ") + account.Description;
}

QStringList TReportParametersModel::ExportFormatNames() const {
    QStringList names;
    for (const TExportFormat& format : ExportFormatTable)
        names.append(format.Name.toString());
    return names;
}

void TReportParametersModel::SetExportFormat(int index) {
    if (index < 0 || index >= ExportFormatCount)
        throw EQuilvaneError(QStringLiteral("Export format %1 is not known.").arg(index));
    Format = index;
}

// ---- OK ----------------------------------------------------------------------------------------

TReportParametersModel::TProblem TReportParametersModel::Validate() const {
    if (Shows(fdTransfer) && !TTransferSelection::AnyIncluded(SelectionWord))
        return {NothingToTransferText, fdTransfer};
    if (Shows(fdPeriodRange) && TransactionChoicesEnabled() && PeriodFrom > PeriodTo)
        return {PeriodOrderText, fdPeriodRange};
    if (Shows(fdPageKinds) && TransactionChoicesEnabled() && Chosen == 0)
        return {NoPageKindText, fdPageKinds};
    if (Shows(fdDateRange)) {
        const auto inside = [this](double date) {
            return IsCalendarDateNum(date) && date >= FirstDay && date <= LastDay;
        };
        if (!inside(DateFrom) || !inside(DateTo))
            return {DateOutsideYearText.arg(FinancialYear)
                        .arg(DateNumToStr(false, FirstDay), DateNumToStr(false, LastDay)),
                    fdDateRange};
        if (DateFrom > DateTo)
            return {DateOrderText, fdDateRange};
    }
    if (Shows(fdBankAccount) && !AllBankAccountsAllowed() && Bank < 0)
        return {NoBankAccountText, fdBankAccount};
    if (Shows(fdFileName)) {
        if (File.trimmed().isEmpty())
            return {NoFileNameText, fdFileName};
        // The imports read the file: it must be there. The export writes it.
        if (Process != prExport && !QFileInfo(NativePath(File.trimmed())).isFile())
            return {FileMissingText.arg(File.trimmed()), fdFileName};
    }
    return {};
}

void TReportParametersModel::Fill(TReportSetup& setup) const {
    if (setup.ProcessKind != Process)
        throw EQuilvaneError(QStringLiteral("The run parameters were chosen for process %1, not %2.")
                                 .arg(Process)
                                 .arg(setup.ProcessKind));
    if (const TProblem problem = Validate())
        throw EQuilvaneError(problem.Text);
    if (Shows(fdTransfer))
        setup.TransferSelection = SelectionWord;
    if (Shows(fdPeriodRange)) {
        setup.SetPeriodFrom(PeriodStart(PeriodFrom));
        setup.SetPeriodTo(PeriodEnd(PeriodTo));
    }
    if (Shows(fdPageKinds))
        setup.PageKinds = Chosen;
    if (Shows(fdDateRange)) {
        setup.SetPeriodFrom(DateFrom);
        setup.SetPeriodTo(DateTo);
    }
    if (Shows(fdBankAccount) && Bank >= 0) {
        const TAccountFormat* format =
            setup.Accounts ? setup.Accounts->Format() : setup.Detail->AccountFormat;
        setup.BankGroupsText = Banks[Bank].Code;
        if (!Parse(format, setup.BankGroupsText, true, setup.BankGroups))
            throw EQuilvaneError(QStringLiteral("Bank account %1 cannot be read.").arg(Banks[Bank].Code));
    }
    if (Shows(fdFileName))
        setup.OutputText = File.trimmed();
    if (Shows(fdExportFormat))
        setup.FileFormat = static_cast<quint8>(Format);
}
