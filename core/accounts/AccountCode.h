#pragma once

#include <QtGlobal>

#include <array>
#include <cstdint>

// An account code: up to four numeric parts. Stored (in transaction records and chart files) as
// eight bytes, four little-endian 16-bit numbers in the order branch, division, account,
// sub-account. A part is an unsigned 16-bit number, 0 to 65534; all bits set (65535, held here
// as -1) marks an absent part. The empty code has all four parts absent. Read and set parts by
// number (GetAccountCodePart, SetAccountCodePart) to get their values as unsigned numbers.
struct TAccountCode {
    qint16 Branch = -1;
    qint16 Division = -1;
    qint16 Account = -1;
    qint16 SubAccount = -1;

    static constexpr TAccountCode Empty() { return TAccountCode{}; }
    constexpr bool IsEmpty() const {
        return Branch == -1 && Division == -1 && Account == -1 && SubAccount == -1;
    }

    friend constexpr bool operator==(const TAccountCode&, const TAccountCode&) = default;
};

static_assert(sizeof(TAccountCode) == 8, "an account code is stored in eight bytes");

// The largest value a part can hold; one more marks the part absent.
constexpr int MaxAccountPartValue = 65534;

// Part numbers used by account formats (and their mask letters).
constexpr int AccountPart = 1;    // "A"
constexpr int SubAccountPart = 2; // "S"
constexpr int BranchPart = 3;     // "B"
constexpr int DivisionPart = 4;   // "D"

// Mask and key letter of a part number; a blank for any other number.
char AccountPartLetter(int part);

// Whether the two codes are equal in all four parts.
bool CodePartsEqual(const TAccountCode& a, const TAccountCode& b);

// The value of a part by part number (1 account, 2 sub-account, 3 branch, 4 division): 0 to
// 65534, or -1 for an absent part and for any other part number.
int GetAccountCodePart(const TAccountCode& code, int part);

// Sets a part by part number (-1 makes it absent); any other part number changes nothing.
void SetAccountCodePart(TAccountCode& code, int part, int value);

// The stored eight bytes of a code and back.
std::array<std::uint8_t, 8> AccountCodeToBytes(const TAccountCode& code);
TAccountCode AccountCodeFromBytes(const std::uint8_t* bytes);
