#pragma once

#include <QtGlobal>

// A range of transaction references chosen for a report, held with the smaller reference first.
class TReferenceRange {
public:
    TReferenceRange() = default;
    TReferenceRange(qint32 a, qint32 b);

    qint32 FromRef = 0;
    qint32 ToRef = 0;
};
