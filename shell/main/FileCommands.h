#pragma once

#include "shell/filecode/FileCodeChange.h"

#include <QString>

#include <functional>

class IChildWindowRegistry;
class IProcessWindow;
class QDialog;
class TBackupTimer;
class QWidget;
class TDesktop;
struct TTransferOffer;

// What the file commands need of the main window; every part must be given.
struct TFileCommandHost {
    QWidget* Parent = nullptr;
    TDesktop* Desktop = nullptr;
    // The child windows as they are now (the registry may be installed after the commands).
    std::function<IChildWindowRegistry&()> Registry;
    // Shows a dialog modally and gives its result.
    std::function<int(QDialog&)> RunDialog;
    // The preferences were saved: the timed saving follows them and the child windows are told.
    std::function<void()> PreferencesSaved;
    // The timed-saving timer (off while a bring forward runs); empty: none.
    std::function<TBackupTimer*()> BackupTimer;
    // What renames and copies files (tests make one fail part-way).
    TFileCodeOperations FileOperations = TFileCodeOperations::Local();
};

// The commands of the main window that create and administer client files: File > New and
// File > Properties, Tools > Rename File and Copy File, File > QUILVANE Setup, and the offer of a
// transfer archive that has arrived for an open file.
class TFileCommands {
public:
    static constexpr int RenameMode = 0;
    static constexpr int CopyMode = 1;
    static inline const QString CreatedText = QStringLiteral("%1 \"%2\" has been successfully created.");
    static inline const QString InventoryOpenedText = QStringLiteral(
        "The file %1 has been created and opened on your Quilvane desktop.\rNo data has yet been "
        "transferred for this file.\rSelect \"Transfer from\" from the file menu to load the data "
        "for this file.");
    static inline const QString InventoryFullText = QStringLiteral(
        "The file %1 has been created. No more files can be opened on your Quilvane desktop at this time.");
    static inline const QString PeriodsLaterText =
        QStringLiteral("The current periods per year cannot be updated while data entry is active. Periods "
                       "per year will be automatically updated when data entry is closed.");

    explicit TFileCommands(TFileCommandHost host);

    // The new-file wizard; the file is saved, opened on the desktop (no password, the lock
    // offered again when another workstation holds it), its year's charts written and the file
    // recorded as the most recently used. A cancelled wizard changes nothing.
    void NewFile();
    // The property sheet of the active file; on OK the record is saved and the desktop and the
    // data-entry window follow what changed.
    void FileProperties();
    // Renames (RenameMode) or copies (CopyMode) a file open on the desktop to a new code.
    void RenameOrCopyFile(int mode);
    // The preferences window.
    void Preferences();
    // Tools > Transfer Disk Inventory: the transfer archives on a drive; a file created from one
    // opens on the desktop when there is room for it.
    void TransferDiskInventory();
    // File > Change Year: the year list, then the change (or the bring forward into next year).
    void ChangeYear();
    // A transfer archive arrived for an open file: asks, and on Yes makes the file active and
    // runs the transfer in.
    void TransferArrived(const TTransferOffer& offer);

private:
    IChildWindowRegistry& Registry() const { return Host.Registry(); }
    // Renames or copies the open file at an index behind the process guard; true when done.
    bool ChangeFileCode(int fileIndex, const QString& newCode, int mode);

    TFileCommandHost Host;
};
