#pragma once

#include "core/common/OptionSet.h"
#include "core/transactions/TransactionListSources.h"

#include <memory>

class TEntityInfo;
class TTransactionList;

// The transactions of one page kind in one monthly period of a file's year, as the file-wide
// procedures work on them: the list of the open data-entry page that covers the period when there
// is one, else a list loaded here. The kinds kept in one file (opening balances and bank items,
// memorised payments, standard bank transactions) always take the first period.
//
// A list that cannot be read raises EQuilvaneError and is never written. A loaded list is only
// written through Save; the page's list stays with its page.
class TPeriodList {
public:
    static constexpr int MonthlyPeriods = 12;

    // usePage: take the open page's list when there is one (only for the file's current year).
    TPeriodList(TEntityInfo& file, const TTransactionListSources& sources, int pageKind, int year, int period,
                const TOptionSet& options, bool usePage);
    ~TPeriodList();
    TPeriodList(const TPeriodList&) = delete;
    TPeriodList& operator=(const TPeriodList&) = delete;

    TTransactionList& List() const { return *Current; }
    bool FromPage() const { return Owned == nullptr; }
    // Writes an unsaved list (what freeing it did); raises when the write fails.
    void Save();

    // The list of the open page of that kind covering the period, or nullptr.
    static TTransactionList* OpenPageList(const TEntityInfo& file, int pageKind, int year, int period);
    // Writes the open page's list first when it holds unsaved changes (options {0}, marked
    // saved), so that a list read from the files sees them; raises when the write fails.
    static void WriteOpenPage(const TEntityInfo& file, int pageKind, int year, int period);
    // The list's period for a page kind.
    static int ListPeriod(int pageKind, int period);

private:
    std::unique_ptr<TTransactionList> Owned;
    TTransactionList* Current = nullptr;
};
