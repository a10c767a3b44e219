#include "core/accounts/AccountCode.h"

char AccountPartLetter(int part) {
    switch (part) {
    case AccountPart:
        return 'A';
    case SubAccountPart:
        return 'S';
    case BranchPart:
        return 'B';
    case DivisionPart:
        return 'D';
    default:
        return ' ';
    }
}

bool CodePartsEqual(const TAccountCode& a, const TAccountCode& b) {
    return a == b;
}

namespace {

// The unsigned value of a stored part; all bits set is the absent part.
int PartValue(qint16 stored) {
    const auto bits = static_cast<quint16>(stored);
    return bits == 0xFFFF ? -1 : int{bits};
}

} // namespace

int GetAccountCodePart(const TAccountCode& code, int part) {
    switch (part) {
    case AccountPart:
        return PartValue(code.Account);
    case SubAccountPart:
        return PartValue(code.SubAccount);
    case BranchPart:
        return PartValue(code.Branch);
    case DivisionPart:
        return PartValue(code.Division);
    default:
        return -1;
    }
}

void SetAccountCodePart(TAccountCode& code, int part, int value) {
    const auto stored = static_cast<qint16>(static_cast<quint16>(value));
    switch (part) {
    case AccountPart:
        code.Account = stored;
        break;
    case SubAccountPart:
        code.SubAccount = stored;
        break;
    case BranchPart:
        code.Branch = stored;
        break;
    case DivisionPart:
        code.Division = stored;
        break;
    default:
        break;
    }
}

namespace {

void PutPart(std::uint8_t* out, qint16 value) {
    const auto bits = static_cast<std::uint16_t>(value);
    out[0] = static_cast<std::uint8_t>(bits & 0xFF);
    out[1] = static_cast<std::uint8_t>(bits >> 8);
}

qint16 GetPart(const std::uint8_t* in) {
    return static_cast<qint16>(static_cast<std::uint16_t>(in[0] | (in[1] << 8)));
}

} // namespace

std::array<std::uint8_t, 8> AccountCodeToBytes(const TAccountCode& code) {
    std::array<std::uint8_t, 8> bytes{};
    PutPart(bytes.data(), code.Branch);
    PutPart(bytes.data() + 2, code.Division);
    PutPart(bytes.data() + 4, code.Account);
    PutPart(bytes.data() + 6, code.SubAccount);
    return bytes;
}

TAccountCode AccountCodeFromBytes(const std::uint8_t* bytes) {
    TAccountCode code;
    code.Branch = GetPart(bytes);
    code.Division = GetPart(bytes + 2);
    code.Account = GetPart(bytes + 4);
    code.SubAccount = GetPart(bytes + 6);
    return code;
}
