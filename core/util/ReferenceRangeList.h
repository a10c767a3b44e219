#pragma once

#include "core/accounts/ReferenceRange.h"

#include <QList>

// A report's selection of transaction references: either every reference ("<All>") or the
// listed ranges.
struct TReferenceRangeList {
    bool All = false;
    QList<TReferenceRange> Ranges;
};
