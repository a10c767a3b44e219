#include "shell/properties/FilePropertyChanges.h"

#include "core/entity/EntityDetail.h"

TFilePropertySnapshot TFilePropertySnapshot::Of(const TEntityDetail& detail) {
    TFilePropertySnapshot snapshot;
    snapshot.Name = detail.Name;
    snapshot.Contras = detail.Contras;
    snapshot.Quantity = detail.Quantity;
    snapshot.CurrencyConv = detail.CurrencyConv;
    snapshot.Tax = detail.Tax;
    snapshot.Periods = detail.Periods;
    return snapshot;
}

TFilePropertyChanges TFilePropertyChanges::Between(const TFilePropertySnapshot& before,
                                                   const TFilePropertySnapshot& after) {
    TFilePropertyChanges changes;
    changes.Name = before.Name != after.Name;
    changes.Contras = before.Contras != after.Contras;
    changes.QuantityOrCurrency =
        before.Quantity != after.Quantity || before.CurrencyConv != after.CurrencyConv;
    changes.Taxes = before.Tax != after.Tax;
    changes.Periods = before.Periods != after.Periods;
    return changes;
}
