#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>

// Replaces a set of files of a folder by another as one change that survives a stop at any step.
// The change works in a folder of its own inside the folder ("ABC123.restore-XXXXXX"): the new
// files wait in its "new" folder, under the names they take in the folder. Before the first move
// a marker in the working folder lists both sets ("old" and "new" lines, relative names with '/');
// the old files are then moved aside into its "old" folder and the new ones moved in. The marker
// is held under a lock that the system drops when the process dies, so a change still running on
// another workstation is never taken for a stopped one.
//
// Every file is at every moment in exactly one of its places (in the folder, set aside in "old",
// or staged in "new") and is moved, never deleted, until one whole state stands; only then do the
// marker and the working folder go. Which state that is can be read from the files at any moment:
// the new one when every old file is set aside and every new file in place (present in the folder
// and gone from "new"), otherwise the old one. Putting the old state back moves the new files back
// to "new" first and the old ones back from "old" after, so a put-back that is itself stopped still
// reads as the old state and is simply taken up again.
//
// A change stopped on the way (a kill, a power cut) leaves its marker behind, and Recover puts that
// whole state back. Working folders without a marker hold nothing that the folder lacks, and are
// removed once they are older than a minute.
class TFileSwap {
public:
    // folder: the native folder the names are relative to; workFolder: the change's own folder.
    TFileSwap(const QString& folder, const QString& workFolder);
    ~TFileSwap();
    TFileSwap(const TFileSwap&) = delete;
    TFileSwap& operator=(const TFileSwap&) = delete;

    // Called before every step that changes the folder (the marker, each move aside, each move
    // in, and each move of Undo or of the put-back after a failed move), numbered from 1;
    // answering false stops the change right there, as a kill would: no step after it, no undo,
    // the marker stays. The program never sets it.
    std::function<bool(int step)> OnStep;

    // Places a new file itself instead of the move (the caller writes it from the staged copy);
    // when it returns, the file stands in the folder. Used for the record, which the program
    // rewrites on its way in. Raises EQuilvaneError when it cannot.
    using TPlacer = std::function<void(const QString& staged, const QString& target)>;

    // Writes the marker, moves every old file aside and every new one in (those in `placed` by
    // the placer, after all the others, in the order given). True when done; false when OnStep
    // stopped it. A failed move puts the old state back and raises EQuilvaneError naming the file.
    // Names are refused (EQuilvaneError, before the marker) when they would leave the folder, and
    // when a new file would take the place of a file of the folder that is not among the old ones
    // (that file would be lost, not set aside).
    bool Run(const QStringList& oldNames, const QStringList& newNames, const QStringList& placed = {},
             const TPlacer& placer = {});

    // The change is kept: the marker and the working folder go.
    void Finish();
    // The change is given up after Run: the new files go back to "new", the old ones come back,
    // then Finish. Nothing after Finish, or after a Run that failed (it put the old state back
    // itself). A move that fails leaves the marker, and the next Recover takes it up again.
    void Undo();

    // Whether the change has begun (its marker is written) and no whole state stands yet: the
    // working folder then holds files of the year and must stay for Recover.
    bool Unsettled() const { return MarkerWritten && !Finished; }

    // The name of the marker inside a working folder.
    static QString MarkerName();

    // Puts back a whole state for every stopped change of the folder whose working folder is
    // named `prefix` and six letters or digits ("ABC123.restore-"), and removes that family's
    // working folders left without a marker once they are older than a minute. Only plain folders
    // of those names are looked at (never a link), a change whose marker is locked by a live
    // process is left alone, and a marker naming a file outside the folder is ignored. Files are
    // moved only out of and into plain folders inside the working folder: a change whose "old" or
    // "new" folder, or a folder below them, is a link is left as it is. Returns the number of
    // changes put back. Never throws: what cannot be done stays for the next time.
    // onStep is called before every move and before the working folder goes, numbered from 1
    // over the whole call; answering false stops the recovery right there, as a kill would, and a
    // later Recover takes it up again. The program never sets it.
    static int Recover(const QString& folder, const QString& prefix,
                       const std::function<bool(int step)>& onStep = {});

private:
    void WriteMarker(const QStringList& oldNames, const QStringList& newNames);
    // Whether the files stand as the new state: every old file set aside, every new one in place.
    bool Committed() const;
    // Moves every new file in place back to "new" (a copy that a placer wrote while its staged
    // file still waits goes to "spare"), then every old file back from "old". True when the old
    // state stands; false when OnStep stopped it or a move failed. Run again, it goes on.
    bool PutOldBack();
    // After a step, moves the folder's `name` to `kept` below the working folder ("new/..."), or
    // back when `out` is false, going only through plain folders inside the working folder.
    bool Shift(const QString& name, const QString& kept, bool out);
    // The marker first, then the rest of the working folder.
    void RemoveWork();
    bool Step();

    QString Folder;
    QString Work;
    QStringList OldNames;
    QStringList NewNames;
    QFile Marker;
    int StepCount = 0;
    bool Stopped = false;
    bool MarkerWritten = false;
    bool Finished = false;
};
