#pragma once

#include "core/common/OptionSet.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// What a transfer in takes from the archive: eight groups of master data and transactions, each
// with four bits of the 32-bit selection word. Bit 4g includes group g; bits 4g+1, 4g+2 and 4g+3
// choose how it arrives: Replace (the archive's file stands), Merge (the archive's items are added
// to those held) or Update (as Merge, and items already held take the archive's fields). For the
// transactions the fourth bit means Append (the archive's entries follow the current ones).
enum TTransferGroup : int {
    tgAccounts = 0,
    tgBankRecOpening = 1,
    tgStdDescriptions = 2,
    tgTaxRates = 3,
    tgCurrencyRates = 4,
    tgReportLayouts = 5,
    tgReportFormats = 6,
    tgTransactions = 7,
};

// The modes of a group, numbered as their bits follow the include bit.
enum TTransferMode : int {
    tmNone = 0,
    tmReplace = 1,
    tmMerge = 2,
    tmUpdate = 3, // Append for the transactions
};

class TTransferSelection {
public:
    static constexpr int GroupCount = 8;
    static constexpr int BitsPerGroup = 4;

    // One group's part of the word.
    struct TChoice {
        bool Include = false;
        int Mode = tmNone;
        bool operator==(const TChoice&) const = default;
    };

    // Whether the group's include bit is set.
    static bool Included(quint32 word, int group);
    // Whether any group is included.
    static bool AnyIncluded(quint32 word);
    // The group's mode: the lowest of its three mode bits that is set (a word made elsewhere may
    // hold more than one), tmNone when none is.
    static int Mode(quint32 word, int group);
    // The word with the group's four bits replaced: the include bit when include, and the bit of
    // the mode (tmNone sets none). The mode is kept whether or not the group is included, so that
    // a window can remember it while the group is left out.
    static quint32 Set(quint32 word, int group, bool include, int mode);

    static TChoice Decode(quint32 word, int group);
    static quint32 Encode(quint32 word, int group, const TChoice& choice);

    // Whether the group can arrive in the mode: Replace, Merge or Update for the master data,
    // Replace or Append for the transactions.
    static bool ModeAllowed(int group, int mode);
    // The modes a group offers, in the order of their numbers.
    static QList<int> GroupModes(int group);

    // "Chart of Accounts", "Bank Rec. Opening Balances", ... "Transactions".
    static QString GroupName(int group);
    // "Replace", "Merge", "Update"; "Append" for the transactions' fourth bit.
    static QString ModeName(int group, int mode);

    // The load options of an included master-data group (groups 0 to 6): the standard option,
    // plus MergeLoad for Merge and MergeReplace for Update.
    static TOptionSet LoadOptions(quint32 word, int group);

    // Raises EQuilvaneError for a group outside 0-7 or a mode outside 0-3.
    static void CheckGroup(int group);
    static void CheckMode(int mode);
};
