#include "core/entity/BankStatementTransfer.h"
#include "core/common/Money.h"

#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/PeriodList.h"
#include "core/entity/RunParams.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/util/Numbers.h"
#include "core/vocab/PageKinds.h"

#include <cmath>

namespace TF = TransactionFlag;

namespace {

constexpr int DayTolerance = 5;
constexpr int AnyDay = 99;
constexpr double WholeAmount = 100.0;
const QString ProportionalMark = QStringLiteral("%");
const QString CorrectionDetails = QStringLiteral(" *** % correction *** ");
const QString GeneratedSuffix = QStringLiteral(" (Auto Gen Xfer B/S to C/B)");

bool DayMatches(int templateDay, double entryDate) {
    return templateDay == AnyDay || std::abs(templateDay - DayOfDateNum(entryDate)) <= DayTolerance;
}

double Cents(double amount) {
    return RoundHalfEven(amount, 2);
}

} // namespace

QString TransferDoneText() {
    return QStringLiteral("Bank statement entries successfully transferred to cashbook");
}
QString TransferErrorText() {
    return QStringLiteral("Error transferring bank statement entries to cashbook");
}

TTransferTemplates::TTransferTemplates(const TTransactionList& standardTransactions) {
    const TTransactionList& list = standardTransactions;
    for (int i = 0; i < list.Count();) {
        const TTransactionDetail& first = *list.GetItem(i);
        if (first.HasAnyFlag({TF::Blank, TF::DissectionTotal, TF::Header})) {
            ++i;
            continue;
        }
        TTemplate item;
        item.Bank = first.BankCode;
        item.Day = static_cast<int>(first.Date);
        item.Text = first.Details().trimmed().toUpper();
        item.Proportional = first.Details().startsWith(ProportionalMark);
        const bool dissection = first.HasAnyFlag({TF::DissectionMember});
        int next = i;
        for (; next < list.Count(); ++next) {
            const TTransactionDetail& line = *list.GetItem(next);
            if (next > i && (!dissection || !line.HasAnyFlag({TF::DissectionMember}) ||
                             line.Dissection != first.Dissection))
                break;
            if (line.HasAnyFlag({TF::DissectionTotal}))
                continue;
            item.Amount += line.Amount;
            if (line.HasAnyFlag({TF::TaxLine}))
                continue;
            TTransactionDetail copy = line;
            copy.Amount = Cents(line.Amount + list.GetTaxAmount(next));
            if (line.Details() == CorrectionDetails)
                item.CorrectionLine = static_cast<int>(item.Lines.size());
            item.Lines.push_back(copy);
        }
        item.Amount = Cents(item.Amount);
        if (!item.Lines.empty())
            Items.push_back(std::move(item));
        i = next;
    }
}

const TTransferTemplates::TTemplate* TTransferTemplates::Match(const TTransactionDetail& entry) const {
    for (const TTemplate& item : Items)
        if (item.Bank == entry.BankCode && !item.Proportional && !IsZeroMoney(item.Amount) &&
            SameMoney(item.Amount, entry.Amount) && DayMatches(item.Day, entry.Date))
            return &item;
    for (const TTemplate& item : Items)
        if (item.Bank == entry.BankCode && item.Proportional && DayMatches(item.Day, entry.Date))
            return &item;
    const QString text = entry.Details().trimmed().toUpper();
    if (text.isEmpty())
        return nullptr;
    for (const TTemplate& item : Items)
        if (item.Bank == entry.BankCode && !item.Proportional && IsZeroMoney(item.Amount) &&
            !item.Text.isEmpty() && (item.Text.contains(text) || text.contains(item.Text)))
            return &item;
    return nullptr;
}

std::vector<TTransactionDetail>
TTransferTemplates::LinesFor(const TTemplate& match, const TTransactionDetail& entry, int cashBookKind) {
    std::vector<TTransactionDetail> lines = match.Lines;
    const bool zeroAmount = !match.Proportional && IsZeroMoney(match.Amount);
    double given = 0.0;
    for (size_t i = 0; i < lines.size(); ++i) {
        TTransactionDetail& line = lines[i];
        line.PageKind = static_cast<qint16>(cashBookKind);
        line.Date = entry.Date;
        line.Reference = entry.Reference;
        line.BankCode = entry.BankCode;
        line.Flags &=
            ~((1u << TF::Reconciled) | (1u << TF::BankRecMarkA) | (1u << TF::BankRecMarkB) |
              (1u << TF::BankRecMarkC) | (1u << TF::DissectionMember) | (1u << TF::WasInDissection));
        line.Dissection = -1;
        line.ParentID = -1;
        if (match.Proportional)
            line.Amount = Cents(entry.Amount * line.Amount / WholeAmount);
        else if (zeroAmount && i == 0)
            line.Amount = entry.Amount;
        given += line.Amount;
    }
    if (match.Proportional) {
        const size_t correction = match.CorrectionLine >= 0 ? size_t(match.CorrectionLine) : lines.size() - 1;
        lines[correction].Amount = Cents(lines[correction].Amount + entry.Amount - given);
    }
    return lines;
}

TTransactionDetail TTransferTemplates::UnmatchedLine(const TTransactionDetail& entry, int cashBookKind,
                                                     const TAccountCode& suspense) {
    TTransactionDetail line(0, static_cast<qint16>(cashBookKind));
    line.SetDefaults();
    line.Flags = 1u << TF::Keyed;
    line.Date = entry.Date;
    line.Reference = entry.Reference;
    line.Amount = entry.Amount;
    line.BankCode = entry.BankCode;
    line.PostingCode = suspense;
    line.SetDetails((entry.Details() + GeneratedSuffix).trimmed());
    return line;
}

namespace {

// Appends the lines to the cash book (before its blank line) with the month's next IDs; two or
// more lines form a dissection with the month's next number. Tax lines follow each line.
void AddToCashBook(TTransactionList& cashBook, std::vector<TTransactionDetail> lines) {
    int at = cashBook.Count();
    if (at > 0 && cashBook.GetItem(at - 1)->HasAnyFlag({TF::Blank}))
        --at;
    const bool dissection = lines.size() > 1;
    qint32 number = -1;
    for (TTransactionDetail& line : lines) {
        const int slot = cashBook.EntryMonthSlot(line);
        line.ID = cashBook.TakeNextID(slot);
        if (dissection) {
            if (number < 0)
                number = cashBook.TakeNextDissectionNo(slot);
            line.Dissection = number;
            line.SetFlags({TF::DissectionMember});
        }
        const bool taxed = line.TaxCodes != 0;
        at = cashBook.InsertTransaction(at, std::make_unique<TTransactionDetail>(line), 0);
        if (taxed && cashBook.TaxColumn())
            at += cashBook.GenerateTaxEntries(at, false, false);
        ++at;
    }
}

} // namespace

void TransferStatementEntries(TEntityInfo& file, TReportSetup& setup,
                              const TTransactionListSources& sources) {
    const int year = setup.Year;
    const TPeriodList standard(file, sources, pkStandardBankTransactions, year, 1,
                               {Option::Load, Option::NoLoadProcessing}, true);
    const TTransferTemplates templates(standard.List());
    const TAccountCode suspense = setup.Accounts->GetCodeParts(setup.Accounts->DefaultSuspenseAccount());
    const bool anyReference = setup.RunOptions.Has(AnyStatementReferenceOption);
    for (int period = setup.FromPeriod; period <= setup.ToPeriod; ++period) {
        for (const int kind : {pkBankStatementDeposits, pkBankStatementWithdrawals}) {
            if (((setup.PageKinds >> kind) & 1u) == 0)
                continue;
            const int cashBookKind = kind == pkBankStatementDeposits ? pkReceipts : pkPayments;
            const TPeriodList statement(file, sources, kind, year, period,
                                        {Option::Load, Option::NoLoadProcessing}, true);
            TPeriodList cashBook(file, sources, cashBookKind, year, period, {Option::Load}, true);
            const TTransactionList& entries = statement.List();
            for (int i = 0; i < entries.Count(); ++i) {
                const TTransactionDetail& entry = *entries.GetItem(i);
                if (entry.HasAnyFlag({TF::Blank, TF::DissectionTotal, TF::Contra, TF::TaxLine}))
                    continue;
                if ((entry.Reference != BankReference && !anyReference) || entry.Date < setup.FromDate ||
                    entry.Date > setup.ToDate)
                    continue;
                if (setup.BankGroups && !setup.BankGroups->Contains(entry.BankCode))
                    continue;
                if (const TTransferTemplates::TTemplate* match = templates.Match(entry))
                    AddToCashBook(cashBook.List(), TTransferTemplates::LinesFor(*match, entry, cashBookKind));
                else
                    AddToCashBook(cashBook.List(),
                                  {TTransferTemplates::UnmatchedLine(entry, cashBookKind, suspense)});
            }
            cashBook.Save();
        }
    }
}
