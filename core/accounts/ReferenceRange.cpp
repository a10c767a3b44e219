#include "core/accounts/ReferenceRange.h"

#include <algorithm>

TReferenceRange::TReferenceRange(qint32 a, qint32 b) : FromRef(std::min(a, b)), ToRef(std::max(a, b)) {}
