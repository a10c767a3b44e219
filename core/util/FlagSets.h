#pragma once

#include "core/common/OptionSet.h"

#include <QtGlobal>

#include <initializer_list>

// Flag sets: 32-bit sets of bit numbers 0 to 31 (transaction flags and the like). Bit numbers
// outside that range are ignored.

quint32 FlagSetInclude(quint32 set, std::initializer_list<int> bits);
quint32 FlagSetExclude(quint32 set, std::initializer_list<int> bits);
// Any of the listed bits is in the set (false for an empty list).
bool FlagSetHasAny(quint32 set, std::initializer_list<int> bits);
// All of the listed bits are in the set (true for an empty list).
bool FlagSetHasAll(quint32 set, std::initializer_list<int> bits);
// The option set shares at least one member with the given elements.
bool FlagByteSetHas(const TOptionSet& options, const TOptionSet& elements);
