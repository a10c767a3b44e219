#include "core/transactions/DEFieldOptions.h"

#include "core/util/FlagSets.h"

TDEFieldOptions::TDEFieldOptions()
    : Sets{FlagSetInclude(0, {1}), FlagSetInclude(0, {2}), FlagSetInclude(0, {1})} {}
