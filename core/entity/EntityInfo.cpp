#include "core/entity/EntityInfo.h"

#include "core/logs/LogList.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/BASTotals.h"
#include "core/entity/EntityDetail.h"
#include "core/files/FileSwap.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionListSources.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <exception>
#include <limits>

namespace {

// The installed writer of time-log entries, else the program's time log.
void LogSession(const TLogSession& session) {
    if (const TSessionLog& log = TServices::SessionLog())
        log(session);
    else
        TLogList::LogSession(session);
}

// The history's field-option values: values 1 to 5 and 8 of the page's ten.
constexpr std::array<int, 6> HistoryValueIndexes{0, 1, 2, 3, 4, 7};

bool KindHasPeriods(int pageKind) {
    return pageKind >= pkPayments && pageKind <= pkBankStatementWithdrawals;
}

template <class TChart> TChart* ChartOfYear(const std::vector<std::unique_ptr<TChart>>& charts, int year) {
    const auto found =
        std::find_if(charts.begin(), charts.end(), [year](const auto& chart) { return chart->Year == year; });
    return found == charts.end() ? nullptr : found->get();
}

// Takes the chart of a year out of its registry (nullptr when none is held).
template <class TChart>
std::unique_ptr<TChart> TakeChart(std::vector<std::unique_ptr<TChart>>& charts, int year) {
    const auto found =
        std::find_if(charts.begin(), charts.end(), [year](const auto& chart) { return chart->Year == year; });
    if (found == charts.end())
        return nullptr;
    std::unique_ptr<TChart> chart = std::move(*found);
    charts.erase(found);
    return chart;
}

} // namespace

// --- page history lines --------------------------------------------------------------------------

QString TPageHistoryLine::ToText() const {
    QStringList fields{QString::number(PageKind),      QString::number(Year),
                       QString::number(Period),        QString::number(SortOrder),
                       QString::number(CurrentPage),   QString::number(CurrentID),
                       QString::number(CurrentColumn), QString::number(TopRow)};
    for (const quint32 set : Sets)
        fields << QString::number(set);
    for (const qint32 value : Values)
        fields << QString::number(value);
    return fields.join(u',');
}

std::optional<TPageHistoryLine> TPageHistoryLine::Parse(const QString& text, int periodsPerYear) {
    const QStringList fields = text.split(u',');
    if (fields.size() != FieldCount)
        return std::nullopt;
    std::array<qint64, FieldCount> numbers{};
    for (int i = 0; i < FieldCount; ++i) {
        bool ok = false;
        const qint64 number = fields[i].trimmed().toLongLong(&ok);
        // The sets are 32 bits, written signed or unsigned; every other field is a signed 32-bit number.
        const qint64 highest =
            (i >= 8 && i <= 10) ? std::numeric_limits<quint32>::max() : std::numeric_limits<qint32>::max();
        if (!ok || number < std::numeric_limits<qint32>::min() || number > highest)
            return std::nullopt;
        numbers[static_cast<size_t>(i)] = number;
    }
    TPageHistoryLine line;
    line.PageKind = static_cast<int>(numbers[0]);
    line.Year = static_cast<int>(numbers[1]);
    line.Period = static_cast<int>(numbers[2]);
    const int lowestPeriod = KindHasPeriods(line.PageKind) ? 1 : 0;
    if (line.PageKind < pkOpeningBalances || line.PageKind >= pkDeletedTransactions ||
        line.Period < lowestPeriod || line.Period > periodsPerYear)
        return std::nullopt;
    // A kind kept in one file for the whole year opens at period 1, as it does from the menu.
    if (IsOneFileKind(line.PageKind))
        line.Period = 1;
    line.SortOrder = static_cast<int>(numbers[3]);
    line.CurrentPage = static_cast<int>(numbers[4]);
    line.CurrentID = static_cast<qint32>(numbers[5]);
    line.CurrentColumn = static_cast<int>(numbers[6]);
    line.TopRow = static_cast<int>(numbers[7]);
    for (size_t i = 0; i < line.Sets.size(); ++i)
        line.Sets[i] = static_cast<quint32>(numbers[8 + i]);
    for (size_t i = 0; i < line.Values.size(); ++i)
        line.Values[i] = static_cast<qint32>(numbers[11 + i]);
    return line;
}

// --- lifetime ------------------------------------------------------------------------------------

std::unique_ptr<TEntityInfo> TEntityInfo::Create(const QString& fileCode, const TOptionSet& options) {
    // A restore or transfer in of the file that stopped half-way (a kill, a power cut) is put
    // back whole before its record is read.
    if (TEntityDetail::IsPlainFileCode(fileCode) && HasProgramParams()) {
        const QString data = NativePath(ProgramParams().LicFilePath);
        if (!data.isEmpty()) {
            TFileSwap::Recover(data, fileCode + RestoreWorkInfix.toString());
            TFileSwap::Recover(data, fileCode + TransferWorkInfix.toString());
        }
    }
    std::unique_ptr<TEntityInfo> entity(new TEntityInfo());
    entity->Detail = TEntityDetail::Create(fileCode, options);
    entity->OpenedAt = NowNum();
    entity->PeriodsPerYear = entity->Detail->Periods;
    entity->Upgraded = options.Has(Option::DosVersion);
    entity->Totals = std::make_unique<TBASTotals>();
    return entity;
}

TEntityInfo::~TEntityInfo() noexcept {
    // Pages first: their lists point at the charts, and the bank-reconciliation chart at the
    // accounts. The record's own destructor gives back a lock that Close did not.
    Pages.clear();
    BankRecOpening.reset();
    TaxRateCharts.clear();
    AccountsCharts.clear();
    StdDescCharts.clear();
    CurrencyRatesCharts.clear();
}

void TEntityInfo::SetSessionLog(TSessionLog log) {
    TServices::SetSessionLog(std::move(log));
}

void TEntityInfo::Close() {
    if (IsClosed())
        return;
    FreePages(true);
    SaveBankRecOpening();
    BankRecOpening.reset();
    std::vector<int> years;
    const auto addYears = [&years](const auto& registry) {
        for (const auto& chart : registry)
            years.push_back(chart->Year);
    };
    addYears(StdDescCharts);
    addYears(AccountsCharts);
    addYears(TaxRateCharts);
    addYears(CurrencyRatesCharts);
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    for (const int year : years)
        FreeYearCharts(year, true);

    ClosedAt = NowNum();
    Detail->Accessed = ClosedAt;
    std::exception_ptr failure;
    try {
        Detail->Save(TOptionSet{Option::Standard});
    } catch (const std::exception&) {
        failure = std::current_exception();
    }
    try {
        Detail->ReleaseLock();
    } catch (const std::exception&) {
        if (!failure)
            failure = std::current_exception();
    }
    if (!NoTimeLog)
        LogSession({Detail->FileCode, Detail->Name, Upgraded ? UpgradedComment : QString(), QString(),
                    OpenedAt, ClosedAt, Detail->EndMonth});
    Detail.reset();
    Totals.reset();
    if (failure)
        std::rethrow_exception(failure);
}

// --- charts --------------------------------------------------------------------------------------

TOptionSet TEntityInfo::ChartOptions() const {
    TOptionSet options{Option::Standard, Option::Load};
    if (Upgraded)
        options.Include(Option::DosVersion);
    return options;
}

void TEntityInfo::CreateYearCharts(int year) {
    const TChartEntity entity = Detail->ChartEntity();
    const TOptionSet options = ChartOptions();
    if (!StdDescChart(year))
        StdDescCharts.push_back(std::make_unique<TStdDescChart>(entity, options, year));
    if (!AccountsChart(year))
        AccountsCharts.push_back(std::make_unique<TAccountsChart>(entity, Detail->AccountFormat, options,
                                                                  year, QString(), StdDescChart(year)));
    if (!TaxRateChart(year))
        TaxRateCharts.push_back(std::make_unique<TTaxRateChart>(entity, AccountsChart(year),
                                                                Detail->AccountFormat, options, year));
    if (!CurrencyRatesChart(year))
        CurrencyRatesCharts.push_back(std::make_unique<TCurrConvRatesChart>(entity, options, year));
}

void TEntityInfo::FreeYearCharts(int year, bool save) {
    // Tax rates point at the accounts, the accounts at the standard descriptions: freed in that order.
    std::unique_ptr<TMasterChart> charts[] = {TakeChart(TaxRateCharts, year), TakeChart(AccountsCharts, year),
                                              TakeChart(StdDescCharts, year),
                                              TakeChart(CurrencyRatesCharts, year)};
    for (auto& chart : charts) {
        if (!chart)
            continue;
        if (save) {
            TOptionSet options{Option::Standard};
            chart->SaveIfModified(options);
        }
        chart->Saved = true;
    }
}

TAccountsChart* TEntityInfo::AccountsChart(int year) const {
    return ChartOfYear(AccountsCharts, year);
}
TStdDescChart* TEntityInfo::StdDescChart(int year) const {
    return ChartOfYear(StdDescCharts, year);
}
TTaxRateChart* TEntityInfo::TaxRateChart(int year) const {
    return ChartOfYear(TaxRateCharts, year);
}
TCurrConvRatesChart* TEntityInfo::CurrencyRatesChart(int year) const {
    return ChartOfYear(CurrencyRatesCharts, year);
}

TTransactionListSources TEntityInfo::ListSources(int year) const {
    return Detail->ListSources(AccountsChart(year), TaxRateChart(year), StdDescChart(year),
                               CurrencyRatesChart(year));
}

void TEntityInfo::SetBankRecOpeningChart(std::unique_ptr<TBankRecOpeningDetailChart> chart) {
    BankRecOpening = std::move(chart);
}

void TEntityInfo::SaveBankRecOpening() {
    // A chart whose save failed has said so, and stays blocked rather than half-written.
    if (BankRecOpening) {
        TOptionSet options{Option::Standard};
        BankRecOpening->SaveIfModified(options);
    }
}

std::unique_ptr<TBankRecOpeningDetailChart> TEntityInfo::TakeBankRecOpeningChart() {
    return std::move(BankRecOpening);
}

void TEntityInfo::OpenYear() {
    // Saves of this year killed before their rename left temporary files that nothing else removes.
    Detail->RemoveYearLeftovers(Detail->Year);
    CreateYearCharts(Detail->Year);
    ReopenRecordedPages();
}

// --- pages ---------------------------------------------------------------------------------------

TDataEntryPage* TEntityInfo::DataEntryPage(int index) const {
    return index >= 0 && index < DataEntryPageCount() ? Pages[static_cast<size_t>(index)].Page.get()
                                                      : nullptr;
}

QString TEntityInfo::DataEntryPageCaption(int index) const {
    return DataEntryPage(index) ? Pages[static_cast<size_t>(index)].Caption : QString();
}

int TEntityInfo::InsertDataEntryPage(int index, const QString& caption,
                                     std::unique_ptr<TDataEntryPage> page) {
    if (index < 0 || index > DataEntryPageCount())
        index = DataEntryPageCount();
    Pages.insert(Pages.begin() + index, TPageEntry{caption, std::move(page)});
    return index;
}

int TEntityInfo::DeleteDataEntryPage(int index) {
    if (!DataEntryPage(index))
        return 0;
    const auto at = Pages.begin() + index;
    const int result = at->Page->Close();
    Pages.erase(at);
    // The periods per year cannot change under open pages; once the last one is gone the file
    // works with what its record now says.
    if (Pages.empty() && Detail)
        PeriodsPerYear = Detail->Periods;
    return result;
}

void TEntityInfo::FreePages(bool save) {
    while (!Pages.empty()) {
        TDataEntryPage& page = *Pages.front().Page;
        if (save)
            page.Close();
        else
            page.List().SetSaved(true);
        Pages.erase(Pages.begin());
    }
    CurrentPage = -1;
}

int TEntityInfo::FindDataEntryPage(int pageKind, int period, int periodsPerYear) const {
    const int endMonth = Detail->EndMonth;
    for (int i = DataEntryPageCount() - 1; i >= 0; --i) {
        const TTransactionList& list = DataEntryPage(i)->List();
        if (list.PageKind() != pageKind || list.Year() != Detail->Year)
            continue;
        if (list.Period() == 0)
            return i;
        if (period == 0)
            continue;
        const int first = PeriodOfMonth(list.StartMonth(), periodsPerYear, endMonth);
        const int last = PeriodOfMonth(list.EndMonth(), periodsPerYear, endMonth);
        if (period >= first && period <= last)
            return i;
    }
    return -1;
}

bool TEntityInfo::IsPageOpen(int pageKind, int period) const {
    return std::any_of(Pages.begin(), Pages.end(), [&](const TPageEntry& entry) {
        return entry.Page->List().PageKind() == pageKind && entry.Page->List().Period() == period;
    });
}

void TEntityInfo::RecordOpenPages() {
    Detail->DataEntryPages.clear();
    for (const TPageEntry& entry : Pages) {
        const TDataEntryPage& page = *entry.Page;
        const TTransactionList& list = page.List();
        if (list.PageKind() == pkDeletedTransactions)
            continue;
        TPageHistoryLine line;
        line.PageKind = list.PageKind();
        line.Year = list.Year();
        line.Period = list.Period();
        line.SortOrder = list.SortOrder();
        line.CurrentPage = CurrentPage;
        const TTransactionDetail* current = list.GetItem(page.CurrentRow - 1);
        line.CurrentID = current ? current->ID : 0;
        line.CurrentColumn = page.CurrentColumn;
        line.TopRow = page.TopRow;
        line.Sets = page.FieldOptions().Sets;
        for (size_t i = 0; i < HistoryValueIndexes.size(); ++i)
            line.Values[i] = page.FieldOptions().Values[static_cast<size_t>(HistoryValueIndexes[i])];
        Detail->DataEntryPages.append(line.ToText());
    }
}

void TEntityInfo::ReopenRecordedPages(bool force) {
    if (!force && (!TServices::HasSettings() || ProgramParams().RestoreDesktop != DesktopRestoresPages))
        return;
    const QStringList history = Detail->DataEntryPages;
    for (const QString& text : history) {
        const std::optional<TPageHistoryLine> line = TPageHistoryLine::Parse(text, PeriodsPerYear);
        if (!line || line->Year != Detail->Year || IsPageOpen(line->PageKind, line->Period))
            continue;
        if (!ReopenPage(*line))
            break;
    }
    // The recorded index counts the pages of the last visit: keep it only when it names an open page.
    if (CurrentPage < 0 || CurrentPage >= DataEntryPageCount())
        CurrentPage = Pages.empty() ? -1 : 0;
}

bool TEntityInfo::ReopenPage(const TPageHistoryLine& line) {
    std::unique_ptr<TDataEntryPage> page =
        TDataEntryPage::Create(ListSources(Detail->Year), line.PageKind, line.Year, line.Period,
                               PeriodsPerYear, TOptionSet{Option::Standard, Option::Load}, false);
    TTransactionList& list = page->List();
    if (list.LoadStatus() != 0) {
        // Freed unsaved: what the list holds is not what its files hold.
        list.SetSaved(true);
        return false;
    }
    list.SetSortOrder(line.SortOrder, true);
    CurrentPage = line.CurrentPage;

    const int count = list.Count();
    int row = list.IndexOfID(line.CurrentID, false) + 1;
    int column = std::clamp(line.CurrentColumn, 0, TTransactionGrid::ColumnCount - 1);
    const TTransactionDetail* last = list.GetItem(count - 1);
    if (count == 1 || (row == count && last && last->HasAllFlags({TransactionFlag::Blank})))
        column = 0;
    if (row == 0) {
        row = count;
        column = 0;
    }
    page->CurrentRow = row;
    page->CurrentColumn = static_cast<quint8>(column);
    page->TopRow = std::clamp(line.TopRow, 1, std::max(1, count));
    page->Selection = {column, row, column, row};
    page->FieldOptions().Sets = line.Sets;
    for (size_t i = 0; i < HistoryValueIndexes.size(); ++i)
        page->FieldOptions().Values[static_cast<size_t>(HistoryValueIndexes[i])] = line.Values[i];
    page->LoadEditBuffer(row);

    InsertPageInOrder(std::move(page));
    return true;
}

int TEntityInfo::InsertPageInOrder(std::unique_ptr<TDataEntryPage> page) {
    const TTransactionList& list = page->List();
    const QString caption = list.GetPeriodTitle(false);
    const auto after = std::find_if(Pages.begin(), Pages.end(), [&](const TPageEntry& entry) {
        const TTransactionList& open = entry.Page->List();
        return open.PageKind() > list.PageKind() ||
               (open.PageKind() == list.PageKind() && open.Period() > list.Period());
    });
    return InsertDataEntryPage(static_cast<int>(after - Pages.begin()), caption, std::move(page));
}

int TEntityInfo::OpenDataEntryPage(int pageKind, int period, const TOptionSet& options, bool showProgress) {
    if (!Detail || !IsPageKind(pageKind))
        return -1;
    if (IsOneFileKind(pageKind))
        period = 1;
    const int found = FindDataEntryPage(pageKind, period, PeriodsPerYear);
    if (found >= 0)
        return found;
    std::unique_ptr<TDataEntryPage> page = TDataEntryPage::Create(
        ListSources(Detail->Year), pageKind, Detail->Year, period, PeriodsPerYear, options, showProgress);
    if (!page)
        return -1;
    if (page->List().LoadStatus() != 0) {
        // What the list holds is not what its files hold: it must never be written.
        page->List().SetSaved(true);
        return -1;
    }
    page->LoadEditBuffer(page->CurrentRow);
    return InsertPageInOrder(std::move(page));
}

// --- years ---------------------------------------------------------------------------------------

void TEntityInfo::ChangeYear(int newYear, bool keepData, bool noCharts) {
    FreePages(keepData);
    if (keepData)
        SaveBankRecOpening();
    BankRecOpening.reset();
    FreeYearCharts(Detail->Year, keepData);
    Detail->Save(TOptionSet{Option::Standard});
    Detail->Year = static_cast<quint16>(newYear);
    Detail->RemoveYearLeftovers(newYear);
    if (!noCharts) {
        try {
            CreateYearCharts(newYear);
        } catch (const EOperationCancelled&) {
            FreeYearCharts(newYear, false);
            throw;
        } catch (const std::exception&) {
            FreeYearCharts(newYear, false);
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                               QStringLiteral("Error changing years"), TMessageButton::OK);
        }
    }
    Detail->Load(TOptionSet{Option::KeepYear});
}

int TEntityInfo::SaveYearCharts(int year, TOptionSet& options, bool force) {
    int result = 0;
    const auto keep = [&result](int outcome) {
        if (result == 0)
            result = outcome;
    };
    TMasterChart* charts[] = {StdDescChart(year), AccountsChart(year), TaxRateChart(year),
                              CurrencyRatesChart(year)};
    for (TMasterChart* chart : charts) {
        if (options.Has(Option::StopOperation))
            return result;
        if (chart && (force || !chart->Saved))
            keep(chart->SaveToFile(options));
    }
    for (const TPageEntry& entry : Pages) {
        if (options.Has(Option::StopOperation))
            return result;
        TTransactionList& list = entry.Page->List();
        if (list.Year() == year && !list.Saved())
            keep(list.SaveToFile(options, true, false));
    }
    return result;
}

QString TEntityInfo::YearCaption(int year) const {
    const QString yearText = year == 0    ? QStringLiteral("All Years")
                             : year == -1 ? QString::number(Detail->Year)
                                          : QString::number(year);
    return Detail->FileCode + QStringLiteral(" (") + yearText + QStringLiteral(") - ") + Detail->Name;
}

bool TEntityInfo::CheckBASEnabled() const {
    if (Detail->Tax)
        return true;
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                       QStringLiteral("The BAS and IAS functions need a file that includes taxes. Turn on "
                                      "\"Include Taxes\" in the file's details to use them."),
                       TMessageButton::OK);
    return false;
}
