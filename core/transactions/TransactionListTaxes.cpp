#include "core/transactions/TransactionList.h"

#include "core/charts/AccountsChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Money.h"
#include "core/io/Win1252Codec.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionIdTable.h"
#include "core/transactions/TransactionKeys.h"
#include "core/util/FlagSets.h"
#include "core/util/Numbers.h"
#include "core/vocab/PageKinds.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace TF = TransactionFlag;

namespace {

// A set of tax codes read as a signed number: empty and "negative" sets make no tax lines.
bool HasTaxCodes(const TTransactionDetail& entry) {
    return static_cast<qint32>(entry.TaxCodes) > 0;
}

bool IsTaxLine(const TTransactionDetail& entry) {
    return entry.ParentID != -1 || entry.HasAnyFlag({TF::TaxLine});
}

bool HasTaxType(quint32 types, const TTaxRate& rate) {
    return rate.TaxType >= 0 && rate.TaxType < TTaxRateChart::MaxTaxCodes &&
           (types >> rate.TaxType & 1u) != 0;
}

// An amount that lies within a millionth of a cent of a whole cent is taken as that cent's exact
// value, so that taking tax out and adding it back leaves the stored amount bit for bit.
double CentExact(double amount) {
    const double cents = RoundHalfEven(amount * 100.0);
    return std::fabs(amount * 100.0 - cents) < 1e-6 ? cents / 100.0 : amount;
}

// The details of a tax line: the start its tax code gives, then the entry's details, cut to
// the field. The entry's bytes are taken as they are.
TTransactionDetail::TDetailsField TaxLineDetails(const QByteArray& start,
                                                 const TTransactionDetail::TDetailsField& entryDetails) {
    constexpr int capacity = TTransactionDetail::DetailsCapacity;
    TTransactionDetail::TDetailsField field{};
    const int startLength = std::min<int>(static_cast<int>(start.size()), capacity);
    const int entryLength =
        std::min<int>(static_cast<unsigned char>(entryDetails[0]), capacity - startLength);
    std::copy_n(start.constData(), startLength, field.begin() + 1);
    std::copy_n(entryDetails.begin() + 1, entryLength, field.begin() + 1 + startLength);
    field[0] = static_cast<char>(startLength + entryLength);
    return field;
}

} // namespace

std::vector<TTransactionList::TTaxLinePlan> TTransactionList::TaxLinePlans() const {
    std::vector<TTaxLinePlan> plans;
    if (!Books.TaxRates)
        return plans;
    const TAccountCode suspense = SuspenseCode();
    for (int i = 0; i < Books.TaxRates->Count(); ++i) {
        TTaxRate* rate = Books.TaxRates->GetTaxRate(i);
        if (!rate)
            continue;
        TTaxLinePlan& plan = plans.emplace_back();
        plan.Rate = rate;
        plan.Posting = rate->TaxAccount;
        if (Books.Accounts && Books.Accounts->IndexOfCode(rate->TaxAccount) < 0)
            plan.Posting = suspense;
        plan.DetailsStart = TWin1252Codec::Encode(
            QStringLiteral("%1 tax (%2%3) on ")
                .arg(rate->Tax_Code, QString::number(rate->Tax_Rate, 'f', 2), QStringLiteral("%")));
    }
    return plans;
}

bool TTransactionList::MakesTaxLines() const {
    return ShowTaxColumn && Kind != UndoListKind && Kind != pkStandardBankTransactions;
}

std::vector<std::unique_ptr<TTransactionDetail>>
TTransactionList::MakeTaxLines(TTransactionDetail& entry, const std::vector<TTaxLinePlan>& plans) {
    std::vector<std::unique_ptr<TTransactionDetail>> lines;
    if (!MakesTaxLines() || IsTaxLine(entry) || entry.HasAnyFlag({TF::DissectionTotal}) || !HasTaxCodes(entry))
        return lines;
    const int slot = EntryMonthSlot(entry);
    // Decided once: the second tax type must not find the dissection the first one made.
    const bool hadNoDissection = entry.Dissection == -1;
    TMoneyTotal tax;
    for (const TTaxLinePlan& plan : plans) {
        TTaxRate& rate = *plan.Rate;
        if (!HasTaxType(entry.TaxCodes, rate) || !(rate.Tax_Rate > 0.0))
            continue;
        rate.MarkUsed();
        auto line = std::make_unique<TTransactionDetail>(entry);
        line->ID = SlotKeyBase(slot) + TaxLineSequence;
        line->ParentID = entry.ID;
        line->TaxCodes = 1u << rate.TaxType;
        line->PostingCode = plan.Posting;
        line->Amount = rate.CalcIncludedTax(entry.Date, entry.Amount);
        line->SetDetailsField(TaxLineDetails(plan.DetailsStart, entry.DetailsField()));
        if (!hadNoDissection) {
            entry.SetFlags({TF::WasInDissection});
        } else if (entry.Dissection == -1) {
            entry.Dissection = TakeNextDissectionNo(slot);
            entry.SetFlags({TF::DissectionMember});
            entry.ClearFlags({TF::WasInDissection});
        }
        line->Flags = FlagSetExclude(entry.Flags, {TF::WasInDissection});
        line->SetFlags({TF::DissectionMember, TF::TaxLine});
        line->Dissection = entry.Dissection;
        tax.Add(line->Amount);
        lines.push_back(std::move(line));
    }
    if (!lines.empty())
        entry.Amount = CentExact(entry.Amount - tax.Value());
    return lines;
}

int TTransactionList::GenerateTaxEntries(int index, bool addBackToAmount, bool removeExisting) {
    if (!GetItem(index))
        return 0;
    if (removeExisting) {
        int after = 0;
        int before = 0;
        RemoveTaxEntries(index, addBackToAmount, false, false, after, before);
        index -= before;
    }
    TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return 0;
    auto lines = MakeTaxLines(*entry, TaxLinePlans());
    if (lines.empty())
        return 0;
    Entries.insert(Entries.begin() + index + 1, std::make_move_iterator(lines.begin()),
                   std::make_move_iterator(lines.end()));
    IsSaved = false;
    return static_cast<int>(lines.size());
}

std::vector<int> TTransactionList::TaxLineRows(int index, bool scanAll) const {
    std::vector<int> rows;
    const TTransactionDetail* entry = GetItem(index);
    if (!entry || entry->ID == -1 || IsTaxLine(*entry))
        return rows;
    const qint32 id = entry->ID;
    if (scanAll || CurrentSortOrder != soBankAccount) {
        for (int i = 0; i < Count(); ++i)
            if (i != index && Entries[static_cast<size_t>(i)]->ParentID == id)
                rows.push_back(i);
        return rows;
    }
    // Under this order an entry's tax lines follow it as one run: look for the first, then take
    // the run.
    for (int i = index + 1; i < Count(); ++i) {
        if (Entries[static_cast<size_t>(i)]->ParentID == id)
            rows.push_back(i);
        else if (!rows.empty())
            break;
    }
    return rows;
}

void TTransactionList::DeleteTaxLines(int& index, const std::vector<int>& rows, bool addToAmount) {
    TTransactionDetail* entry = GetItem(index);
    TMoneyTotal amount;
    amount.Add(entry->Amount);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        amount.Add(DeleteTransaction(*row)->Amount);
        if (*row < index)
            --index;
    }
    if (addToAmount && !rows.empty())
        entry->Amount = CentExact(amount.Value());
}

void TTransactionList::RemoveTaxEntries(int index, bool addToAmount, bool keepDissection, bool scanAll,
                                        int& removedAfter, int& removedBefore) {
    removedAfter = 0;
    removedBefore = 0;
    TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return;
    const std::vector<int> rows = TaxLineRows(index, scanAll);
    for (const int row : rows)
        ++(row < index ? removedBefore : removedAfter);
    DeleteTaxLines(index, rows, addToAmount);
    if (entry->HasAnyFlag({TF::WasInDissection})) {
        entry->ClearFlags({TF::WasInDissection});
        return;
    }
    if (rows.empty() || entry->Dissection == -1)
        return;
    const qint32 former = entry->Dissection;
    entry->ClearFlags({TF::DissectionMember});
    entry->Dissection = -1;
    if (keepDissection)
        return;
    int before = 0;
    int after = 0;
    UpdateDissectionTotals(former, index, before, after);
    removedBefore -= before;
    removedAfter -= after;
}

void TTransactionList::MergeTaxEntries(int index, int selectionTop, int selectionBottom,
                                       int& removedInSelection, int& removedBefore) {
    removedInSelection = 0;
    removedBefore = 0;
    TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return;
    const std::vector<int> rows = TaxLineRows(index, false);
    DeleteTaxLines(index, rows, true);
    for (const int row : rows) {
        if (row < selectionTop)
            ++removedBefore;
        else if (row <= selectionBottom)
            ++removedInSelection;
    }
    if (entry->HasAnyFlag({TF::WasInDissection})) {
        entry->ClearFlags({TF::WasInDissection});
    } else if (!rows.empty()) {
        entry->ClearFlags({TF::DissectionMember});
        entry->Dissection = -1;
    }
}

double TTransactionList::GetTaxAmount(int index) const {
    const TTransactionDetail* entry = GetItem(index);
    if (!entry || !HasTaxCodes(*entry))
        return 0.0;
    TMoneyTotal tax;
    for (const int row : TaxLineRows(index, true))
        tax.Add(Entries[static_cast<size_t>(row)]->Amount);
    return tax.Value();
}

void TTransactionList::UpdateTaxEntryDetails(int index) {
    const TTransactionDetail* entry = GetItem(index);
    if (!entry)
        return;
    const std::vector<TTaxLinePlan> plans = TaxLinePlans();
    for (const int row : TaxLineRows(index, false)) {
        TTransactionDetail& line = *Entries[static_cast<size_t>(row)];
        const auto plan = std::find_if(plans.begin(), plans.end(), [&line](const TTaxLinePlan& p) {
            return HasTaxType(line.TaxCodes, *p.Rate);
        });
        if (plan == plans.end())
            continue;
        const auto details = TaxLineDetails(plan->DetailsStart, entry->DetailsField());
        if (details != line.DetailsField()) {
            line.SetDetailsField(details);
            IsSaved = false;
        }
    }
}

// A few passes over the list, however long: the entries to refresh are found (for each ID the
// first entry with tax codes), then their tax lines are taken out wherever they lie, their amounts
// returned to their entries, and the new lines put in behind each entry. The list is made again
// only when lines go or come.
void TTransactionList::RefreshTaxEntries(bool force, bool regenerate, bool rebuildDissectionTotals,
                                         bool fullScan) {
    if (Kind == UndoListKind)
        return;
    const size_t count = Entries.size();
    // The entries to refresh by position, and by ID the number of the first of them (its place in
    // `refreshed`). Those whose codes changed, or all with force, are candidates; the first of each
    // ID among them is refreshed.
    std::vector<size_t> candidates;
    std::vector<size_t> refreshed;
    std::optional<TTransactionIdTable> entryIDs;
    if (fullScan)
        entryIDs.emplace(count);
    bool anyTaxLine = false;
    bool anyWasInDissection = false;
    for (size_t i = 0; i < count; ++i) {
        TTransactionDetail& entry = *Entries[i];
        if (IsTaxLine(entry)) {
            anyTaxLine = true;
            continue;
        }
        if (entryIDs)
            entryIDs->Insert(entry.ID, 0);
        if (!HasTaxCodes(entry) || entry.HasAnyFlag({TF::DissectionTotal}))
            continue;
        quint32 allowed = entry.TaxCodes;
        if (Books.TaxRates)
            Books.TaxRates->MaskTaxTypes(allowed);
        const bool changed = allowed != entry.TaxCodes;
        if (changed) {
            entry.TaxCodes = allowed;
            IsSaved = false;
        }
        if (!changed && !force)
            continue;
        anyWasInDissection = anyWasInDissection || entry.HasAnyFlag({TF::WasInDissection});
        candidates.push_back(i);
    }
    // A refresh changes an entry only by giving back the amounts of its tax lines, by taking off
    // its mark of an earlier dissection and by making new lines: where the list holds no tax line,
    // no candidate carries the mark and no line can be made, the candidates are left as they are.
    const bool mayChange = anyTaxLine || anyWasInDissection || (regenerate && MakesTaxLines());
    TTransactionIdTable refreshedIDs(mayChange ? candidates.size() : 0);
    if (mayChange)
        for (const size_t i : candidates) {
            const int number = static_cast<int>(refreshed.size());
            if (refreshedIDs.Insert(Entries[i]->ID, number) == number)
                refreshed.push_back(i);
        }
    if (!refreshed.empty() || fullScan) {
        // The tax lines that go: their amounts, in list order, go back to their entries.
        std::vector<char> removed;
        std::vector<std::optional<TMoneyTotal>> returned;
        bool removedAny = false;
        if (anyTaxLine) {
            removed.assign(count, 0);
            returned.resize(refreshed.size());
            for (size_t i = 0; i < count; ++i) {
                const TTransactionDetail& entry = *Entries[i];
                if (!IsTaxLine(entry))
                    continue;
                if (const int parent = refreshedIDs.Find(entry.ParentID); parent >= 0) {
                    auto& sum = returned[static_cast<size_t>(parent)];
                    if (!sum)
                        sum.emplace();
                    sum->Add(entry.Amount);
                    removed[i] = 1;
                } else if (entryIDs && entryIDs->Find(entry.ParentID) < 0) {
                    removed[i] = 1;
                }
                removedAny = removedAny || removed[i] != 0;
            }
        }
        const std::vector<TTaxLinePlan> plans = regenerate ? TaxLinePlans() : std::vector<TTaxLinePlan>{};
        // The refreshed entries in list order take back their amounts and make their new lines.
        std::vector<std::pair<size_t, std::vector<std::unique_ptr<TTransactionDetail>>>> made;
        for (size_t number = 0; number < refreshed.size(); ++number) {
            TTransactionDetail& entry = *Entries[refreshed[number]];
            const bool hadLines = !returned.empty() && returned[number].has_value();
            if (hadLines) {
                TMoneyTotal& back = *returned[number];
                back.Add(entry.Amount);
                entry.Amount = CentExact(back.Value());
            }
            if (entry.HasAnyFlag({TF::WasInDissection})) {
                entry.ClearFlags({TF::WasInDissection});
            } else if (hadLines) {
                entry.ClearFlags({TF::DissectionMember});
                entry.Dissection = -1;
            }
            if (!regenerate)
                continue;
            auto lines = MakeTaxLines(entry, plans);
            if (lines.empty())
                continue;
            made.emplace_back(refreshed[number], std::move(lines));
            IsSaved = false;
        }
        // The list is made again only when lines went or came: the old lines out, each entry's new
        // lines behind it.
        if (removedAny || !made.empty()) {
            std::vector<std::unique_ptr<TTransactionDetail>> rebuilt;
            rebuilt.reserve(count + count / 4);
            auto lines = made.begin();
            for (size_t i = 0; i < count; ++i) {
                if (!removed.empty() && removed[i] != 0)
                    continue;
                rebuilt.push_back(std::move(Entries[i]));
                if (lines != made.end() && lines->first == i) {
                    std::move(lines->second.begin(), lines->second.end(), std::back_inserter(rebuilt));
                    ++lines;
                }
            }
            Entries = std::move(rebuilt);
        }
        if (removedAny)
            IsSaved = false;
    }
    if (rebuildDissectionTotals) {
        int before = 0;
        int after = 0;
        UpdateDissectionTotals(-1, 0, before, after);
    }
}
