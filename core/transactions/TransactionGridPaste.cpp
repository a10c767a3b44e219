// Pasting copied records into a page: each record becomes an entry of this page, fitted to its
// period, keys, accounts and page rules.
#include "core/transactions/TransactionGrid.h"

#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/util/FlagSets.h"
#include "core/util/References.h"
#include "core/vocab/PageKinds.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>

namespace {

namespace TF = TransactionFlag;

// Where the rate lies in a 125-byte record (see TransactionRecord.h).
constexpr int RecordRateOffset = 54;
// The marker of memorised payments and standard bank transactions that matches any day.
constexpr double AnyDayMarker = 99.0;
constexpr double LastDayOfMonth = 31.0;

bool IsNonCashKind(int kind) {
    return kind == pkGeneralJournals || kind == pkSalesJournals || kind == pkPurchasesJournals ||
           kind == pkStandardBankTransactions || kind == pkDeletedTransactions;
}

// A rate that was no finite number in the record is no conversion at all.
double RecordRate(const std::uint8_t* body, double readRate) {
    const double stored = std::bit_cast<double>(qFromLittleEndian<quint64>(body + RecordRateOffset));
    return std::isfinite(stored) ? readRate : 1.0;
}

int MonthOfDate(double date) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(date, year, month, day);
    return month;
}

} // namespace

void TTransactionGrid::PasteTransaction(int& index, TLastDissections& lastDissections,
                                        const std::uint8_t* body) {
    if (!body || Rows.Kind == TTransactionList::UndoListKind || IsTransactionHeaderRecord(body))
        return;
    auto entry = std::make_unique<TTransactionDetail>(ReadTransactionRecord(body));
    if (entry->HasAnyFlag({TF::Blank, TF::DissectionTotal, TF::TaxLine}))
        return;
    entry->Rate = RecordRate(body, entry->Rate);
    const int endMonth = Rows.Books.Entity.EndMonth;

    // The date, fitted to the page, and the month slot its keys come from.
    int slot = 1;
    if (Rows.Kind == pkOpeningBalances || Rows.Kind == pkOpeningUnpresentedCheques ||
        Rows.Kind == pkOpeningOutstandingDeposits) {
        entry->Date = FitDateToPeriod(1, Rows.FinancialYear, 1, Rows.Kind, endMonth, entry->Date);
    } else if (IsDayOfMonthKind(Rows.Kind)) {
        if (entry->Date != AnyDayMarker && !(entry->Date >= 0.0 && entry->Date <= LastDayOfMonth))
            entry->Date = DayOfDateNum(entry->Date);
    } else if (Rows.Kind == pkDeletedTransactions) {
        slot = TransactionMonthSlot(Rows.Kind, MonthOfDate(entry->Date), endMonth);
    } else {
        const bool hasPeriod = Rows.PeriodNo != 0;
        entry->Date = FitDateToPeriod(hasPeriod ? Rows.PeriodNo : 1, Rows.FinancialYear,
                                      hasPeriod ? Rows.PeriodCount : 1, Rows.Kind, endMonth, entry->Date);
        slot = TransactionMonthSlot(Rows.Kind, MonthOfDate(entry->Date), endMonth);
    }

    entry->Flags = FlagSetExclude(entry->Flags,
                                  {TF::Reconciled, TF::PasteClearedA, TF::PasteClearedB, TF::PasteClearedC});

    // Deleted entries, and entries pasted onto the deleted-transactions page, keep their IDs, but
    // only when that is still free here and belongs to the slot.
    const qint32 base = Rows.SlotKeyBase(slot);
    const bool keepID = (Rows.Kind == pkDeletedTransactions || entry->HasAnyFlag({TF::Deleted})) &&
                        entry->ID >= base && entry->ID < base + TaxLineSequence &&
                        Rows.IndexOfID(entry->ID, false) < 0;
    if (keepID)
        Rows.SetNextID(slot, std::max(Rows.GetNextID(slot), entry->ID + 1));
    else
        entry->ID = Rows.TakeNextID(slot);

    entry->PageKind = static_cast<qint16>(Rows.Kind);
    Rows.FitPastedAccounts(*entry);

    const bool leavesDissection = Rows.Kind == pkOpeningBalances || Rows.Kind == pkBankStatementDeposits ||
                                  Rows.Kind == pkBankStatementWithdrawals;
    if (leavesDissection || entry->Dissection == -1) {
        entry->Dissection = -1;
        entry->Flags = FlagSetExclude(entry->Flags, {TF::DissectionMember});
    } else {
        const size_t at = static_cast<size_t>(slot - 1);
        if (entry->Dissection != lastDissections.Source[at]) {
            lastDissections.Source[at] = entry->Dissection;
            lastDissections.Given[at] = Rows.TakeNextDissectionNo(slot);
        }
        entry->Dissection = lastDissections.Given[at];
        entry->Flags = FlagSetInclude(entry->Flags, {TF::DissectionMember});
    }

    entry->Flags = IsNonCashKind(Rows.Kind) ? FlagSetInclude(entry->Flags, {TF::NonCash})
                                            : FlagSetExclude(entry->Flags, {TF::NonCash});

    if (Rows.Kind == pkOpeningBalances) {
        entry->Reference = OpeningBalanceReference;
        if (!InBalanceSheetOrSuspense(Rows.Books, entry->PostingCode))
            entry->PostingCode = Rows.SuspenseCode();
    } else if (!IsDayOfMonthKind(Rows.Kind) && entry->Reference == OpeningBalanceReference) {
        entry->Reference = 1;
    }

    if (Rows.Kind == pkDeletedTransactions) {
        entry->Flags = FlagSetInclude(entry->Flags, {TF::Deleted});
    } else {
        entry->Flags = FlagSetExclude(entry->Flags, {TF::Deleted});
        if (Rows.Books.TaxRates)
            Rows.Books.TaxRates->MaskTaxTypes(entry->TaxCodes);
        else
            entry->TaxCodes = 0;
    }

    if (!IsDayOfMonthKind(Rows.Kind))
        entry->SetDetails(Rows.ExpandDetailsMacros(entry->Details(), entry->Date));

    index = Rows.InsertTransaction(index, std::move(entry), 0);
    if (Rows.Kind != pkDeletedTransactions)
        index += Rows.GenerateTaxEntries(index, false, true);
    ++index;
}
