#include "core/util/FlagSets.h"

namespace {
constexpr bool ValidBit(int bit) {
    return bit >= 0 && bit < 32;
}
constexpr quint32 Mask(int bit) {
    return quint32{1} << bit;
}
} // namespace

quint32 FlagSetInclude(quint32 set, std::initializer_list<int> bits) {
    for (int bit : bits)
        if (ValidBit(bit))
            set |= Mask(bit);
    return set;
}

quint32 FlagSetExclude(quint32 set, std::initializer_list<int> bits) {
    for (int bit : bits)
        if (ValidBit(bit))
            set &= ~Mask(bit);
    return set;
}

bool FlagSetHasAny(quint32 set, std::initializer_list<int> bits) {
    for (int bit : bits)
        if (ValidBit(bit) && (set & Mask(bit)) != 0)
            return true;
    return false;
}

bool FlagSetHasAll(quint32 set, std::initializer_list<int> bits) {
    for (int bit : bits)
        if (!ValidBit(bit) || (set & Mask(bit)) == 0)
            return false;
    return true;
}

bool FlagByteSetHas(const TOptionSet& options, const TOptionSet& elements) {
    for (int member = 0; member < TOptionSet::MemberCount; ++member)
        if (options.Has(member) && elements.Has(member))
            return true;
    return false;
}
