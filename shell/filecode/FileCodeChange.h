#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class IProgress;
class TEntityDetail;
class TEntityInfo;

// One file operation of a change of file code. Paths are native.
struct TFileCodeStep {
    enum TKind : int {
        MoveFile = 0,   // the file takes its new name (rename)
        CopyFile = 1,   // a copy is made under the new name (copy)
        MakeFolder = 2, // the new code's own folder is created (copy); no source
        MoveFolder = 3, // the code's own folder takes the new code as its name (rename)
    };
    TKind Kind = MoveFile;
    QString Source;
    QString Target;
    friend bool operator==(const TFileCodeStep&, const TFileCodeStep&) = default;
};

// A folder as the planning sees it: where it is and the names of the files and folders in it.
struct TFolderListing {
    QString Path;
    QStringList Files;
    QStringList Folders;
};

// What the planning reads of the program data folder for one file code.
struct TFileCodeListing {
    TFolderListing Data;                 // the program data folder itself
    QList<TFolderListing> MasterFolders; // the master-data folders that exist
    std::optional<TFolderListing> Own;   // the code's own folder, when it exists
};

// Every operation of a change, in the order it is carried out, and the folders it writes into;
// or, when the change cannot be made, why (and no steps).
struct TFileCodePlan {
    QList<TFileCodeStep> Steps;
    QStringList WrittenFolders;
    QString Problem;
    bool IsPossible() const { return Problem.isEmpty(); }
};

// The file operations a change goes through. Each answers false when it could not be done, and
// none replaces an existing name. A test swaps one for a failing one.
struct TFileCodeOperations {
    std::function<bool(const QString& from, const QString& to)> Move; // a file or a folder
    std::function<bool(const QString& from, const QString& to)> Copy; // a file
    std::function<bool(const QString& folder)> MakeFolder;
    std::function<bool(const QString& file)> RemoveFile;
    std::function<bool(const QString& folder)> RemoveFolder; // an empty folder
    std::function<bool(const QString& folder)> IsWritable;

    // The operations on this workstation's disk. A copy refuses a source that is a symbolic
    // link, so nothing outside the data folder is read into it.
    static TFileCodeOperations Local();
};

// Gives a client file a new six-character code, by renaming (mode 0) or copying (mode 1) all of
// its files in the program data folder:
// - in the master-data folders ("M_DETAIL" and "BANK_REC") the file's own charts: names made of
//   the code and one extension ("ABC123.RLO") or of the code, a two-digit year and one extension
//   ("ABC12306.ADF"), the code compared without regard to case. Nothing else is touched there:
//   not the master files, and not the files of a code that begins with this one;
// - the code's own folder with its transaction files (rename: the files whose names begin with
//   the code are renamed, then the folder itself, which carries everything else in it along;
//   copy: the new code's folder is created and every file of the old one copied into it, those
//   whose names begin with the code under their new names; folders inside it are not copied);
// - the detail record "<code>.CFG".
// A new name is the old one with the first occurrence of the old code (case aside) replaced by
// the new code; a second occurrence stays. The folder and the record are named by the new code
// exactly.
//
// Nothing is touched unless every check passes first: for a rename, the record's lock keys on
// disk name no other workstation (else the reason given is the lock's own refusal,
// TEntityLock::InUseText); the new code's record does not exist, no name the change would make
// exists (in any case), the folders written into are writable. The first operation that fails
// stops the change, and every operation done so far is undone in reverse order (copies removed,
// renamed files and the folder moved back, the created folder removed), so that every name is as
// it was. After a rename the record's companion lock follows it (TEntityLock::FollowRecord).
//
// The record: a rename gives the open file's record the new code, its export and import folders
// the new code in place of the first occurrence of the old one, and its new file name, and saves
// it under the new name; when that fails its fields are put back. A copy never changes the open
// file's record: the copy's own record is rewritten with the new code, the adjusted folders and
// its lock keys cleared ("Locked" 0, "LockedBy" empty), since nobody has the copy open.
//
// The caller saves the file's year charts and pages before calling Execute. After a rename the
// open file's record names the new code; charts and pages the caller keeps loaded still carry the
// old code and must be loaded again.
class TFileCodeChange {
public:
    enum TMode : int { Rename = 0, Copy = 1 };
    // Progress messages: "Renaming File Code ..." and "Duplicating File Code ...".
    static constexpr int RenameProgressKind = 26;
    static constexpr int CopyProgressKind = 27;

    explicit TFileCodeChange(TFileCodeOperations operations = TFileCodeOperations::Local());

    // The whole change for the record of an open file to the new code (taken trimmed and in
    // upper case), after the question "Are you sure that
    // you want to <Rename|Copy> <old> to <new> ?" (OK and Cancel; Cancel changes nothing), behind
    // a progress window. A new code that is not a valid new code shows its error and changes
    // nothing. Ends with the time-log entry "<Rename|Copy> of <old> to <new>" and "... was
    // successful", or with "Unable to <Rename|Copy> <old> to <new>" and the reason, everything
    // then being as it was. True when the change was made.
    bool Execute(TEntityDetail& record, const QString& newCode, int mode);
    // The same for the record the open file owns.
    bool Execute(TEntityInfo& file, const QString& newCode, int mode);

    // Why the last Execute failed (empty after a success or a cancel).
    const QString& LastError() const { return FailureReason; }

    // The plan for the code's files as they are on disk now.
    static TFileCodePlan Plan(const QString& oldCode, const QString& newCode, int mode);
    // The plan for a listing (no disk access).
    static TFileCodePlan MakePlan(const TFileCodeListing& listing, const QString& oldCode,
                                  const QString& newCode, int mode);
    // Reads what the plan needs of the native data folder.
    static TFileCodeListing ReadListing(const QString& dataFolder, const QString& oldCode);

    // The master-data folders, each once: the distinct folders of the chart kinds.
    static QStringList MasterFolderNames();
    // Whether a name in a master-data folder is one of the code's own charts (see above).
    static bool IsOwnMasterName(const QString& name, const QString& code);
    // The text with its first occurrence of the old code (case aside) replaced by the new code.
    static QString ReplaceFirst(const QString& text, const QString& oldCode, const QString& newCode);

    // "Rename" or "Copy".
    static QString ModeWord(int mode);
    static QString QuestionText(int mode, const QString& oldCode, const QString& newCode);
    static QString LogComment(int mode, const QString& oldCode, const QString& newCode);
    static QString SuccessText(int mode, const QString& oldCode, const QString& newCode);
    static QString FailureText(int mode, const QString& oldCode, const QString& newCode);

private:
    // Carries out the plan and the record's part; false with FailureReason after undoing all.
    bool Carry(TEntityDetail& record, const TFileCodePlan& plan, const QString& newCode, int mode,
               IProgress& progress);
    bool Apply(const TFileCodeStep& step);
    // Undoes the steps done, last first; the texts of the ones that could not be undone.
    QStringList Undo(const QList<TFileCodeStep>& done);
    void WriteCopyRecord(const QString& oldCode, const QString& newCode);

    TFileCodeOperations Operations;
    QString FailureReason;
};
