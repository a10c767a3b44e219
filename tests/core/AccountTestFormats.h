#pragma once

#include "core/accounts/AccountFormat.h"

#include <memory>

// Account formats shared by the account tests.

inline TAccountCode MakeCode(int branch, int division, int account, int subAccount) {
    TAccountCode code;
    code.Branch = static_cast<qint16>(branch);
    code.Division = static_cast<qint16>(division);
    code.Account = static_cast<qint16>(account);
    code.SubAccount = static_cast<qint16>(subAccount);
    return code;
}

// Gives the format an "ALL" range from one code to another.
inline void AddAllRange(TAccountFormat& format, const TAccountCode& from, const TAccountCode& to) {
    auto all = std::make_unique<TAccountGroup>(QStringLiteral("ALL"), from, &format);
    all->SetToCode(to);
    format.Ranges.AddGroup(QStringLiteral("ALL"), std::move(all));
}

// Branch, account and sub-account: branches 1 to 20, accounts 1 to 9999, sub-accounts 0 to 99.
inline std::unique_ptr<TAccountFormat> BranchAccountSubFormat() {
    auto format = std::make_unique<TAccountFormat>(QStringLiteral("BAS"), QStringLiteral("BB-AAAA-SS"),
                                                   QString(), QStringLiteral("Branch, account, sub-account"));
    AddAllRange(*format, MakeCode(1, -1, 1, 0), MakeCode(20, -1, 9999, 99));
    return format;
}

// Only a four-digit account, accounts 1 to 9999.
inline std::unique_ptr<TAccountFormat> AccountOnlyFormat(bool withAll = true) {
    auto format =
        std::make_unique<TAccountFormat>(QStringLiteral("ACC"), QStringLiteral("AAAA"), QString(), QString());
    if (withAll)
        AddAllRange(*format, MakeCode(-1, -1, 1, -1), MakeCode(-1, -1, 9999, -1));
    return format;
}
