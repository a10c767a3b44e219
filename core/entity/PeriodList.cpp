#include "core/entity/PeriodList.h"

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"

int TPeriodList::ListPeriod(int pageKind, int period) {
    return IsOneFileKind(pageKind) ? 1 : period;
}

TTransactionList* TPeriodList::OpenPageList(const TEntityInfo& file, int pageKind, int year, int period) {
    if (file.IsClosed() || file.EntityDetail().Year != year)
        return nullptr;
    const TDataEntryPage* page =
        file.DataEntryPage(file.FindDataEntryPage(pageKind, ListPeriod(pageKind, period), MonthlyPeriods));
    return page ? &page->List() : nullptr;
}

void TPeriodList::WriteOpenPage(const TEntityInfo& file, int pageKind, int year, int period) {
    TTransactionList* list = OpenPageList(file, pageKind, year, period);
    if (!list || list->Saved())
        return;
    TOptionSet options{Option::Standard};
    if (list->SaveToFile(options, false, true) != 0)
        throw EQuilvaneError(
            QStringLiteral("The transactions of%1could not be written").arg(list->GetPeriodTitle(false)));
}

TPeriodList::TPeriodList(TEntityInfo& file, const TTransactionListSources& sources, int pageKind, int year,
                         int period, const TOptionSet& options, bool usePage) {
    if (usePage)
        Current = OpenPageList(file, pageKind, year, period);
    if (Current)
        return;
    Owned = std::make_unique<TTransactionList>(sources, pageKind, year, ListPeriod(pageKind, period),
                                               MonthlyPeriods, options);
    Current = Owned.get();
    if (Owned->LoadStatus() != 0) {
        const QString title = Owned->GetPeriodTitle(false);
        Owned->SetSaved(true);
        throw EQuilvaneError(QStringLiteral("The transactions of%1could not be read").arg(title));
    }
}

TPeriodList::~TPeriodList() {
    if (Owned)
        Owned->SetSaved(true);
}

void TPeriodList::Save() {
    if (Owned ? Owned->SaveIfNeeded() != 0 : false)
        throw EQuilvaneError(
            QStringLiteral("The transactions of%1could not be written").arg(Owned->GetPeriodTitle(false)));
    if (!Owned && !Current->Saved()) {
        TOptionSet options{Option::Standard};
        if (Current->SaveToFile(options, false, true) != 0)
            throw EQuilvaneError(QStringLiteral("The transactions of%1could not be written")
                                     .arg(Current->GetPeriodTitle(false)));
    }
}
