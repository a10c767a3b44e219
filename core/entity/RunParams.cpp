#include "core/entity/RunParams.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/common/ResultCodes.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/SubsystemServices.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/ProcessKinds.h"

#include <algorithm>

namespace {

constexpr int QuartersPerYear = 4;
constexpr int MonthsPerQuarter = 3;

quint16 Kinds(std::initializer_list<int> kinds) {
    quint16 set = 0;
    for (int kind : kinds)
        set |= static_cast<quint16>(1u << kind);
    return set;
}

// The page kinds from first to last.
quint16 PageKindRange(int first, int last) {
    quint16 set = 0;
    for (int kind = first; kind <= last; ++kind)
        set |= static_cast<quint16>(1u << kind);
    return set;
}

bool Between(int value, int low, int high) {
    return value >= low && value <= high;
}

// The chart's bank accounts, and with suspense its suspense accounts, as a code list.
QString BankGroupText(const TAccountsChart& chart, bool suspense) {
    QStringList codes;
    for (int i = 0; i < chart.Count(); ++i) {
        const TAccountDetail* account = chart.GetAccount(i);
        const bool bank = account->BankDetails && account->InBalanceSheetRange();
        if (bank || (suspense && account->AccountType == AccountTypeCode::Suspense))
            codes.append(chart.GetCode(i));
    }
    return codes.join(u',');
}

} // namespace

TReportSetup::TReportSetup(const TRunFile& file, int reportType, int processKind, int year,
                           bool privateCharts)
    : TReportSetupWithMasters(file, reportType, processKind, year, privateCharts) {
    SuspenseAccounts = !(ReportType == 52 || ProcessKind == prImportBankStatements ||
                         ProcessKind == prTransferBankStatementEntries);
    BuildGroups();

    if (ReportType == 4)
        PageKinds = PageKindRange(0, 13);
    else if (ReportType == 50)
        PageKinds = PageKindRange(1, 7);
    else if (ReportType == 52)
        PageKinds = Kinds({1, 2, 8, 9});
    else
        PageKinds = PageKindRange(0, 7);
    if (ReportType == 0)
        SetProcessDefaults();
    // The starting set is kept before a transfer from a client drops the kinds it never takes.
    StartPageKinds = PageKinds;
    if (ProcessKind == prTransferFromClient)
        PageKinds &= static_cast<quint16>(~Kinds({0, 3, 10, 11}));
    SetReportDefaults();

    if (Detail->Tax) {
        SecondMask |= 32u;
        if (ReportType == 73 || ReportType == 75)
            SecondMask &= ~32u;
    }

    PercentText = QStringLiteral("%");
    if (ProcessKind == prTransferFromClient)
        ColumnSet &= ~((1u << 20) | (1u << 22) | (1u << 24) | (1u << 26));
}

TReportSetup::~TReportSetup() {
    // Unsaved changes are never dropped here: the chart stays with the file that holds its slot.
    if (TBankRecOpeningDetailChart* chart = OwnBankRecOpening(); chart && chart->Saved)
        Source.BankRecOpening->reset();
    CreatedBankRecOpening = nullptr;
}

TBankRecOpeningDetailChart* TReportSetup::OwnBankRecOpening() const {
    const bool held = CreatedBankRecOpening && Source.BankRecOpening &&
                      Source.BankRecOpening->get() == CreatedBankRecOpening;
    return held ? CreatedBankRecOpening : nullptr;
}

int TReportSetup::Close() {
    TBankRecOpeningDetailChart* chart = OwnBankRecOpening();
    CreatedBankRecOpening = nullptr;
    if (!chart)
        return ::ResultCode::Success;
    TOptionSet options{Option::Standard};
    const int result = chart->SaveIfModified(options);
    // A chart still holding changes stays with the file, to be written later.
    if (chart->Saved)
        Source.BankRecOpening->reset();
    return result;
}

void TReportSetup::DiscardBankRecOpening() {
    if (TBankRecOpeningDetailChart* chart = OwnBankRecOpening()) {
        chart->Saved = true;
        Source.BankRecOpening->reset();
    }
    CreatedBankRecOpening = nullptr;
}

void TReportSetup::BuildGroups() {
    const TAccountFormat* format = Accounts ? Accounts->Format() : Detail->AccountFormat;
    BankGroupsText = Accounts ? BankGroupText(*Accounts, SuspenseAccounts) : QString();
    Parse(format, BankGroupsText, true, BankGroups);
    AccountGroupsText = QStringLiteral("<All>");
    Parse(format, AccountGroupsText, true, AccountGroups);
}

void TReportSetup::SetProcessDefaults() {
    switch (ProcessKind) {
    case prExport:
        PeriodsPerYear = 12;
        ParamMask = 2099;
        OutputText =
            BuildPath({Detail->ChartEntity().DataDir,
                       Detail->FileCode + QStringLiteral("%1").arg(Year % 100, 2, 10, QLatin1Char('0'))});
        break;
    case prImportBankStatements:
        PeriodsPerYear = 12;
        ParamMask = 4111;
        OutputText = ImportFileText();
        break;
    case prUpgrade:
        PageKinds = Kinds({1, 2, 3, 8, 9, 10, 11});
        break;
    case prBankReconciliation:
    case prResetBankReconciliation:
        ReportWidth = 30;
        CreateBankRecOpening();
        break;
    case prTransferToClient:
    case prTransferFromClient:
    case prTransferFromAccountant:
    case prTransferToAccountant:
        PageKinds = PageKindRange(0, 13);
        ParamMask = 16417;
        break;
    case prBringForward:
        MovementsOnly = true;
        break;
    case prTransferBankStatementEntries:
        PageKinds = Kinds({8, 9});
        PeriodsPerYear = 12;
        ParamMask = 65583;
        break;
    case prCalculateCashbookOpeningBalance:
        PageKinds = Kinds({10, 11});
        break;
    case prDeleteAccounts:
    case prDeleteTaxes:
        PageKinds = PageKindRange(0, 13);
        break;
    case prTessalyJournals:
        ParamMask = 262144;
        OutputText = TServices::ProgramPathText();
        break;
    case prImportTransactions:
        PageKinds = PageKindRange(1, 7);
        PeriodsPerYear = 12;
        ParamMask = 8239;
        OutputText = ImportFileText();
        break;
    default:
        break;
    }
}

QString TReportSetup::ImportFileText() const {
    const auto& importFileName = TSubsystemServices::Installed().ImportFileName;
    QString name = importFileName ? importFileName(*Detail, ProcessKind).trimmed() : QString();
    // A name only: whatever folder a format gives, the file is looked for in the file's folder.
    name = name.mid(std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/')) + 1);
    const QString folder = Detail->ChartEntity().DataDir;
    if (!name.isEmpty())
        return BuildPath({folder, name});
    // The folder alone, ready for the name to be typed or picked.
    return folder.isEmpty() || folder.endsWith(u'\\') ? folder : folder + u'\\';
}

void TReportSetup::SetReportDefaults() {
    const int type = ReportType;
    if (Between(type, 1, 2) || Between(type, 6, 22) || Between(type, 24, 27) || Between(type, 31, 49)) {
        ParamMask = 32775;
        MovementsOnly = true;
    } else if (type == 3) {
        ParamMask = 32883;
        SecondMask = 6283;
        if (Detail->Quantity)
            SecondMask |= 16u;
    } else if (type == 4) {
        ParamMask = 33651;
        SecondMask |= 4u;
    } else if (type == 5 || type == 23 || Between(type, 28, 30)) {
        ParamMask = 32768;
    } else if (Between(type, 50, 51)) {
        ParamMask = 1079;
        MovementsOnly = true;
    } else if (type == 52) {
        ParamMask = 7;
        MovementsOnly = true;
    } else if (Between(type, 53, 56)) {
        CreateBankRecOpening();
        if (type == 53)
            ReportWidth = 40;
        SecondOutput = 1;
    } else if (type == 57) {
        ParamMask = 32896;
        ReportWidth = 40;
    } else if (Between(type, 58, 60)) {
        ParamMask = 32768;
        ReportWidth = 40;
        SecondOutput = 1;
    } else if (Between(type, 62, 68)) {
        ReportWidth = 40;
        SecondOutput = 1;
    } else if (Between(type, 69, 79)) {
        SetActivityStatementDefaults();
    }
}

void TReportSetup::SetActivityStatementDefaults() {
    const int type = ReportType;
    PeriodsPerYear = 12;
    if (type == 76) {
        ParamMask = 1;
    } else if (type == 77) {
        ParamMask = 131072;
        OutputText = TServices::ProgramPathText();
    } else if (type == 78 || type == 79) {
        ParamMask = 32768;
    } else {
        ParamMask = 32769;
    }
    SecondMask = 2219;
    if (type == 69 || type >= 76)
        FormCode = u'b';
    else if (type == 70)
        FormCode = u'e';
    else if (type == 71)
        FormCode = u'T';
    else if (type == 72 || type == 74)
        FormCode = u'p';
    else
        FormCode = u'i';
    if (Between(type, 72, 75)) {
        SecondMask = 4015;
        ReportWidth = 30;
    }
    SecondOutput = 1;
}

void TReportSetup::CreateBankRecOpening() {
    // A run already holding the file's opening chart (a report inside a reconciliation, the
    // starting details opened while a run exists) shares it and leaves it to its maker.
    if (!Source.BankRecOpening || *Source.BankRecOpening)
        return;
    const TOptionSet load{Option::Standard, Option::Load};
    *Source.BankRecOpening = std::make_unique<TBankRecOpeningDetailChart>(
        Detail->ChartEntity(), Source.Accounts, Detail->AccountFormat, load, Year);
    CreatedBankRecOpening = Source.BankRecOpening->get();
}

int TReportSetup::RunQuarter() const {
    const int period = std::clamp(ToPeriod, 1, 12);
    return (period - 1) / MonthsPerQuarter + 1;
}

void TReportSetup::PeriodLabel(QString& text, double fromDate, double toDate) const {
    const int quarter = RunQuarter();
    const bool wholeQuarter = fromDate == PeriodStartDate(quarter, Year, QuartersPerYear, EndMonth()) &&
                              toDate == PeriodEndDate(quarter, Year, QuartersPerYear, EndMonth());
    text = wholeQuarter ? QStringLiteral("QUARTER") : QStringLiteral("MONTH");
}

void TReportSetup::CalcSecondaryRange() {
    const bool closesQuarter = ToPeriod % MonthsPerQuarter == 0 || ToPeriod < 1 || ToPeriod > 11;
    if (closesQuarter && PeriodType != 2) {
        Quarter = RunQuarter();
        SecondaryFromDate = PeriodStartDate(Quarter, Year, QuartersPerYear, EndMonth());
        SecondaryToDate = PeriodEndDate(Quarter, Year, QuartersPerYear, EndMonth());
        SecondaryFromPeriod = (Quarter - 1) * MonthsPerQuarter + 1;
        SecondaryToPeriod = Quarter * MonthsPerQuarter;
        return;
    }
    SecondaryFromDate = FromDate;
    SecondaryToDate = ToDate;
    SecondaryFromPeriod = FromPeriod;
    SecondaryToPeriod = ToPeriod;
}

TLogDetails TReportSetup::LogDetails() const {
    TLogDetails entry;
    if (Detail) {
        entry.FileCode = Detail->FileCode;
        entry.EntityName = Detail->Name;
    }
    entry.FileSpec = OutputText;
    entry.ProcessKind = ProcessKind;
    if (TServices::HasSettings())
        entry.UserName = ProgramParams().UserName;
    if (entry.UserName.isEmpty())
        entry.UserName = TServices::Identity().ComputerName();
    entry.AccountSelection = AccountGroupsText;
    entry.Option1 = RunOptions.Has(1);
    entry.PageKinds = PageKinds;
    entry.DateFrom = FromDate;
    entry.DateTo = ToDate;
    entry.RunDate = CreatedAt;
    entry.FirstFlag = CodeMapping == 1 || CodeMapping == 3;
    entry.SecondFlag = CodeMapping == 2 || CodeMapping == 3;
    entry.Value1 = FromPeriod;
    entry.Value2 = ToPeriod;
    return entry;
}
