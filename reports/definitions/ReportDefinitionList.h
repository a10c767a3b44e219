#pragma once

#include "core/charts/ChartEntity.h"
#include "core/common/OptionSet.h"

#include <QByteArray>
#include <QString>

#include <array>

// The four levels at which report definitions are kept: the program's master definitions, a
// file's own, the practice's and those of superannuation funds. A level mask has bit n for level n.
enum TReportLevel : int {
    rlMaster = 0,
    rlFile = 1,
    rlPractice = 2,
    rlSuperannuation = 3,
};

namespace ReportLevelMask {
inline constexpr int File = 1 << rlFile;
} // namespace ReportLevelMask

// The definitions of one kind of report definition (report layouts or report formats) at the
// levels of a mask, with their files. A file's own definitions live in one file per file code,
// whatever the year: "<data>\M_DETAIL\<code>.RLO" for layouts, ".RFT" for formats.
//
// What this version does: the layout of the definitions inside a file belongs to the report
// editors and the custom-report compiler, which this program does not have yet. So a level is held
// as its file's bytes, unchanged: a load checks that the file is a definition file of the list's
// kind (its first identifier names the kind, as in "Report Formats,V5.60") and keeps its bytes; a
// save writes those bytes back through a temporary file. A load with MergeLoad (27) or
// MergeReplace (28) cannot yet combine definitions: it takes the file's definitions as they stand,
// as a load without them does, and marks the level modified so that the next save writes them.
// Only the file's own level is kept; the other levels have no files here.
class TReportDefinitionList {
public:
    static constexpr int LevelCount = 4;
    // A definition file is a few kilobytes; anything past this is not one.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    // kind: ckReportLayouts or ckReportFormats. Raises EQuilvaneError for another kind, or for a
    // mask that names a level other than the file's own, or none.
    TReportDefinitionList(const TChartEntity& entity, int kind, int levelMask);
    // Frees what is held; never saves (the owner saves first).
    virtual ~TReportDefinitionList();
    TReportDefinitionList(const TReportDefinitionList&) = delete;
    TReportDefinitionList& operator=(const TReportDefinitionList&) = delete;

    int Kind() const { return ListKind; }
    int LevelMask() const { return Mask; }
    bool HasLevel(int level) const;
    // The kind's plural noun: "Report Layouts", "Report Formats".
    QString KindNoun() const;

    // The level's file, stored form: the client's data folder for the options (option 13 the
    // transfer drive, option 2 the program's transfer folder), "M_DETAIL", the file code and the
    // kind's extension, without year digits. Raises EQuilvaneError for a level outside the mask.
    QString LevelFileName(int level, const TOptionSet& options) const;

    // Loads the level's file: 0; -1 when it could not be read and the user chose Ignore (the
    // error beep and "Unable to load Report Formats file for ABC123. \r(<reason>)" with Retry and
    // Ignore; no box with option 6, Silent); -114 in silent mode for a file of another kind. A
    // missing or empty file returns 0 and changes nothing unless option 10 (MustExist) asks for
    // it. After a failure the level holds nothing (unless merging), and a file that exists but
    // could not be read is never overwritten by SaveLevel.
    int LoadLevel(int level, const TOptionSet& options);
    // Loads every level of the mask: 0, or the first failure's result.
    int LoadLevels(const TOptionSet& options);

    // Writes what the level holds to its file through a temporary file renamed over it: 0 on
    // success, and 0 without writing when the level holds nothing; -101 when the level's file
    // could not be read (nothing written); -1 when writing failed and the user chose Ignore (the
    // error beep and "Unable to save Report Formats file for ABC123. \r(<reason>)" with Retry
    // and Ignore; the old file stays as it was).
    int SaveLevel(int level, const TOptionSet& options);

    bool IsLoaded(int level) const;
    bool IsModified(int level) const;
    bool IsSaveBlocked(int level) const;
    // The definitions held for the level: its file's bytes.
    QByteArray LevelData(int level) const;

    TChartEntity Entity;

private:
    struct TLevel {
        QByteArray Data;
        bool Loaded = false;
        bool Modified = false;
        bool SaveBlocked = false;
    };

    void CheckLevel(int level) const;
    const TLevel& Level(int level) const;
    TLevel& Level(int level);
    QString FailureText(const QString& verb, const QString& reason) const;
    // Reads and checks the file; raises with the reason when it cannot be taken. wrongKind is set
    // for a file of another kind.
    QByteArray ReadFile(const QString& native, bool& wrongKind) const;

    int ListKind = 0;
    int Mask = 0;
    std::array<TLevel, LevelCount> Levels;
};
