#include "core/common/Money.h"
#include "core/transactions/DissectTransInfo.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionIdTable.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/util/Numbers.h"
#include "core/util/TextHelpers.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace TF = TransactionFlag;

namespace {

using TLine = std::unique_ptr<TTransactionDetail>;

// The changes of one rebuild: lines to put in before an entry index (Count: at the end) and
// indexes of lines to take out.
struct TRowEdits {
    std::vector<std::pair<int, TLine>> Inserts;
    std::vector<int> Deletes;
};

// Walks the list gathering the dissections (one, or all for -1); under sort order 0 a single
// dissection's walk ends with its run of rows.
std::vector<TDissectTransInfo> GatherDissections(const TTransactionList& list, qint32 dissection,
                                                 std::vector<int>& spareTotals) {
    std::vector<TDissectTransInfo> infos;
    TTransactionIdTable infoOf;
    const bool stopAfterRun = dissection != -1 && list.SortOrder() == TTransactionList::soBankAccount;
    bool metRun = false;
    size_t current = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const TTransactionDetail& entry = *list.GetItem(i);
        if (entry.Dissection == -1 || entry.HasAnyFlag({TF::Blank}) ||
            (dissection != -1 && entry.Dissection != dissection)) {
            if (metRun && stopAfterRun)
                break;
            continue;
        }
        metRun = true;
        // Members usually sit together: look up only when the number changes.
        if (infos.empty() || infos[current].Dissection != entry.Dissection) {
            const int number = static_cast<int>(infos.size());
            current = static_cast<size_t>(infoOf.Insert(entry.Dissection, number));
            if (current == infos.size())
                infos.emplace_back().Dissection = entry.Dissection;
        }
        TDissectTransInfo& info = infos[current];
        if (entry.HasAnyFlag({TF::DissectionTotal})) {
            if (info.TotalRow >= 0)
                spareTotals.push_back(info.TotalRow);
            info.TotalRow = i;
            info.RecordedTotal = entry.Amount;
            continue;
        }
        info.Sum.Add(entry.Amount);
        info.LastRow = i;
        info.Date = entry.Date;
        info.Reference = entry.Reference;
        info.BankCode = entry.BankCode;
        info.Reconciled = info.Reconciled || entry.HasAnyFlag({TF::Reconciled});
        if (entry.HasAnyFlag({TF::ReconciledAdjustment}))
            info.AdjustmentRow = i;
    }
    return infos;
}

void FillTotalLine(TTransactionDetail& total, const TDissectTransInfo& info, qint32 id, double amount,
                   const TTransactionDetail::TDetailsField& details) {
    total.ID = id;
    total.Date = info.Date;
    total.Reference = info.Reference;
    total.Dissection = info.Dissection;
    total.BankCode = info.BankCode;
    total.SetFlags({TF::DissectionTotal});
    total.Amount = amount;
    total.SetDetailsField(details);
}

} // namespace

int TTransactionList::UpdateDissectionTotals(qint32 dissection, int position, int& rowsBefore,
                                             int& rowsAfter) {
    rowsBefore = 0;
    rowsAfter = 0;
    if (Kind == UndoListKind)
        return 0;
    const bool wasSaved = IsSaved;
    const QString pageName = RemoveTrailingS(PageKindEntry(Kind).Name.toString());
    TTransactionDetail totalText;
    totalText.SetDetails(QStringLiteral("%1 Dissection Total").arg(pageName));
    TRowEdits edits;
    const std::vector<TDissectTransInfo> infos = GatherDissections(*this, dissection, edits.Deletes);
    for (const TDissectTransInfo& info : infos) {
        if (info.LastRow < 0) {
            if (info.TotalRow >= 0)
                edits.Deletes.push_back(info.TotalRow);
            continue;
        }
        const int slot = EntryMonthSlot(*Entries[static_cast<size_t>(info.LastRow)]);
        double sum = info.Sum.Value();
        if (info.TotalRow >= 0 && info.Reconciled && !SameMoney(info.RecordedTotal, sum)) {
            const double difference = info.RecordedTotal - sum;
            if (info.AdjustmentRow < 0) {
                auto adjustment =
                    std::make_unique<TTransactionDetail>(TakeNextID(slot), static_cast<qint16>(Kind));
                adjustment->Date = info.Date;
                adjustment->Reference = info.Reference;
                adjustment->Dissection = info.Dissection;
                adjustment->BankCode = info.BankCode;
                adjustment->PostingCode = SuspenseCode();
                adjustment->SetFlags({TF::DissectionMember, TF::ReconciledAdjustment, TF::Reconciled});
                adjustment->Amount = RoundHalfEven(difference, 2);
                adjustment->SetDetails(QStringLiteral("Reconciled %1 Dissection Adjustment").arg(pageName));
                edits.Inserts.emplace_back(info.TotalRow, std::move(adjustment));
            } else {
                TTransactionDetail& adjustment = *Entries[static_cast<size_t>(info.AdjustmentRow)];
                adjustment.Amount = RoundHalfEven(adjustment.Amount + difference, 2);
                if (IsZeroMoney(adjustment.Amount))
                    edits.Deletes.push_back(info.AdjustmentRow);
            }
            sum = info.RecordedTotal;
        }
        const qint32 totalID = SlotKeyBase(slot) + DissectionTotalSequence;
        if (info.TotalRow >= 0) {
            FillTotalLine(*Entries[static_cast<size_t>(info.TotalRow)], info, totalID, sum,
                          totalText.DetailsField());
        } else {
            auto total = std::make_unique<TTransactionDetail>(totalID, static_cast<qint16>(Kind));
            FillTotalLine(*total, info, totalID, sum, totalText.DetailsField());
            edits.Inserts.emplace_back(info.LastRow + 1, std::move(total));
        }
    }
    const auto byRow = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Lines only put in (a list just read has no total yet): the entries move up in place, from
    // the last, each line landing in front of the entry it goes before.
    if (!edits.Inserts.empty() && edits.Deletes.empty()) {
        if (!std::is_sorted(edits.Inserts.begin(), edits.Inserts.end(), byRow))
            std::stable_sort(edits.Inserts.begin(), edits.Inserts.end(), byRow);
        for (const auto& insert : edits.Inserts)
            ++(insert.first <= position ? rowsBefore : rowsAfter);
        size_t to = Entries.size() + edits.Inserts.size();
        size_t from = Entries.size();
        Entries.resize(to);
        for (auto insert = edits.Inserts.rbegin(); insert != edits.Inserts.rend(); ++insert) {
            for (const auto row = static_cast<size_t>(insert->first); from > row;)
                Entries[--to] = std::move(Entries[--from]);
            Entries[--to] = std::move(insert->second);
        }
        IsSaved = wasSaved;
        return rowsBefore + rowsAfter;
    }
    if (!edits.Inserts.empty() || !edits.Deletes.empty()) {
        std::stable_sort(edits.Inserts.begin(), edits.Inserts.end(), byRow);
        std::sort(edits.Deletes.begin(), edits.Deletes.end());
        edits.Deletes.erase(std::unique(edits.Deletes.begin(), edits.Deletes.end()), edits.Deletes.end());
        std::vector<TLine> rebuilt;
        rebuilt.reserve(Entries.size() + edits.Inserts.size());
        auto insert = edits.Inserts.begin();
        auto deleted = edits.Deletes.begin();
        for (int row = 0; row <= Count(); ++row) {
            for (; insert != edits.Inserts.end() && insert->first == row; ++insert) {
                ++(row <= position ? rowsBefore : rowsAfter);
                rebuilt.push_back(std::move(insert->second));
            }
            if (row == Count())
                break;
            if (deleted != edits.Deletes.end() && *deleted == row) {
                --(row < position ? rowsBefore : rowsAfter);
                ++deleted;
                continue;
            }
            rebuilt.push_back(std::move(Entries[static_cast<size_t>(row)]));
        }
        Entries = std::move(rebuilt);
    }
    IsSaved = wasSaved;
    return rowsBefore + rowsAfter;
}
