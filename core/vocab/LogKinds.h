#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>

// The seven activity logs of a practice, each a file of its own in the program's data folder.
enum TLogKind : int {
    lkTime = 0,
    lkBackup = 1,
    lkRestore = 2,
    lkExport = 3,
    lkImport = 4,
    lkTransferOut = 5,
    lkTransferIn = 6,
};

struct TLogKindEntry {
    QStringView Title;
    QStringView FileName;
};

inline constexpr std::array<TLogKindEntry, 7> LogKindTable{{
    {u"Time Log", u"QUILVANE.LOG"},
    {u"Backup Log", u"BACKUP.LOG"},
    {u"Restore Log", u"RESTORE.LOG"},
    {u"Export Log", u"EXPORT.LOG"},
    {u"Import Log", u"IMPORT.LOG"},
    {u"Transfer Out Log", u"XFERTO.LOG"},
    {u"Transfer In Log", u"XFERFROM.LOG"},
}};

inline constexpr int LogKindCount = static_cast<int>(LogKindTable.size());

constexpr bool IsLogKind(int kind) {
    return IsVocabularyIndex(LogKindTable, kind);
}
inline const TLogKindEntry& LogKindEntry(int kind) {
    return VocabularyRow(LogKindTable, kind, u"log kind");
}
