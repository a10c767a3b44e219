#include "reports/parameters/TransferSelection.h"

#include "core/common/Exceptions.h"

#include <QList>

#include <array>

namespace {

const std::array<QString, TTransferSelection::GroupCount> GroupNames{
    QStringLiteral("Chart of Accounts"),     QStringLiteral("Bank Rec. Opening Balances"),
    QStringLiteral("Standard Descriptions"), QStringLiteral("Tax Rates"),
    QStringLiteral("Currency Rates"),        QStringLiteral("Report Layouts"),
    QStringLiteral("Report Formats"),        QStringLiteral("Transactions"),
};

constexpr quint32 GroupBits = 0xFu;

int Shift(int group) {
    return group * TTransferSelection::BitsPerGroup;
}

} // namespace

void TTransferSelection::CheckGroup(int group) {
    if (group < 0 || group >= GroupCount)
        throw EQuilvaneError(QStringLiteral("Transfer group %1 is not known.").arg(group));
}

void TTransferSelection::CheckMode(int mode) {
    if (mode < tmNone || mode > tmUpdate)
        throw EQuilvaneError(QStringLiteral("Transfer mode %1 is not known.").arg(mode));
}

bool TTransferSelection::Included(quint32 word, int group) {
    CheckGroup(group);
    return ((word >> Shift(group)) & 1u) != 0;
}

bool TTransferSelection::AnyIncluded(quint32 word) {
    quint32 includeBits = 0;
    for (int group = 0; group < GroupCount; ++group)
        includeBits |= 1u << Shift(group);
    return (word & includeBits) != 0;
}

int TTransferSelection::Mode(quint32 word, int group) {
    CheckGroup(group);
    const quint32 bits = (word >> Shift(group)) & GroupBits;
    for (int mode = tmReplace; mode <= tmUpdate; ++mode)
        if ((bits >> mode) & 1u)
            return mode;
    return tmNone;
}

quint32 TTransferSelection::Set(quint32 word, int group, bool include, int mode) {
    CheckGroup(group);
    CheckMode(mode);
    quint32 bits = include ? 1u : 0u;
    if (mode != tmNone)
        bits |= 1u << mode;
    return (word & ~(GroupBits << Shift(group))) | (bits << Shift(group));
}

TTransferSelection::TChoice TTransferSelection::Decode(quint32 word, int group) {
    return {Included(word, group), Mode(word, group)};
}

quint32 TTransferSelection::Encode(quint32 word, int group, const TChoice& choice) {
    return Set(word, group, choice.Include, choice.Mode);
}

bool TTransferSelection::ModeAllowed(int group, int mode) {
    CheckGroup(group);
    if (group == tgTransactions)
        return mode == tmReplace || mode == tmUpdate;
    return mode >= tmReplace && mode <= tmUpdate;
}

QList<int> TTransferSelection::GroupModes(int group) {
    QList<int> modes;
    for (int mode = tmReplace; mode <= tmUpdate; ++mode)
        if (ModeAllowed(group, mode))
            modes.append(mode);
    return modes;
}

QString TTransferSelection::GroupName(int group) {
    CheckGroup(group);
    return GroupNames[static_cast<std::size_t>(group)];
}

QString TTransferSelection::ModeName(int group, int mode) {
    CheckGroup(group);
    CheckMode(mode);
    switch (mode) {
    case tmReplace:
        return QStringLiteral("Replace");
    case tmMerge:
        return QStringLiteral("Merge");
    case tmUpdate:
        return group == tgTransactions ? QStringLiteral("Append") : QStringLiteral("Update");
    default:
        return QString();
    }
}

TOptionSet TTransferSelection::LoadOptions(quint32 word, int group) {
    TOptionSet options{Option::Standard};
    const int mode = Mode(word, group);
    if (mode == tmMerge)
        options.Include(Option::MergeLoad);
    else if (mode == tmUpdate && group != tgTransactions)
        options.Include(Option::MergeReplace);
    return options;
}
