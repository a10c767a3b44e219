#pragma once

#include "shell/children/ProcessWindows.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class IMailSender;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class TEntityInfo;
class TReportSetup;

// The one window through which a year of the active file is backed up, restored, transferred to
// the client or the accountant, or taken in from a transfer archive (processes 6 to 11): the drive,
// the backup number, transfer format or backup to restore, the memo that travels as the archive's
// comment, the comment for the log, and (backups) whether the year's transaction files are archived
// away. OK runs the process (TBackupRestoreProcess), sends the archive by e-mail when asked and the
// run succeeded, logs a successful run and reports the result.
class TFocusNext;

class TfmBackupRestore : public QDialog {
    Q_OBJECT
public:
    static constexpr int TransferOutHelp = 11000, TransferInHelp = 12000, BackupHelp = 13000,
                         RestoreHelp = 14000;
    static inline const QString FloppyEmailText =
        QStringLiteral("Transfer files can only be e-mailed if saved to a non-floppy drive. Select a hard "
                       "drive from the list before checking the e-mail box.");

    explicit TfmBackupRestore(QWidget* parent = nullptr);
    ~TfmBackupRestore() override;

    // Prepares the window for the block's process and file; the drive check follows at once.
    void SetupForm(TEntityInfo& file, TReportSetup& setup);
    // The run-parameter wizard of a transfer in (OK: the block holds the groups, periods and page
    // kinds); without one a transfer in takes what the block holds.
    void SetParameters(IProcessWindow* parameters) { Parameters = parameters; }
    // The mail program for "Send to e-mail recipient"; the desktop's when none is given.
    void SetMailSender(IMailSender* sender) { Mail = sender; }

    QLabel* lblDrive = nullptr;
    QComboBox* cboDrive = nullptr;
    QLabel* lblFileID = nullptr;
    QComboBox* cboFile = nullptr;
    QLabel* lblMemo = nullptr;
    QTextEdit* memZipMemo = nullptr;
    QLabel* lblLogComment = nullptr;
    QLineEdit* edtLogFileComment = nullptr;
    QCheckBox* cbxArchive = nullptr;
    QCheckBox* cbxEmailUsingOutlook = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
    // Return moves on to the next field, as Tab does (the log comment does not press OK).
    TFocusNext* FocusNext1 = nullptr;

    // The drive chosen now, and the number a backup will take.
    QChar Drive() const;
    int ProposedNumber() const { return Proposed; }
    // Runs the drive check now instead of from the event loop (the window does it queued).
    void CheckDrive();

    void btnOKClick();

private:
    void cboDriveChange();
    void cboFileChange(int index);
    void cbxEmailUsingOutlookClick();
    // The archive's comment (or why there is none) in the memo; OK follows whether it was found.
    void ShowArchiveInformation(const QString& archive);
    void ListBackups();
    void ProposeBackup();
    void SetNotFound(const QString& folder);
    int HelpContext() const;

    TEntityInfo* File = nullptr;
    TReportSetup* Setup = nullptr;
    IProcessWindow* Parameters = nullptr;
    IMailSender* Mail = nullptr;
    int Process = 0;
    int Proposed = 0;
    bool CheckPending = false;
    QStringList BackupPaths;
};

// The backup and restore window as the process launchers open it: modal for one block, through
// the main window's dialog runner.
class TBackupRestoreWindow : public IProcessWindow {
public:
    using TRunDialog = std::function<int(QDialog&)>;
    TBackupRestoreWindow(QWidget* parent, TRunDialog runDialog, IProcessWindow* parameters = nullptr);
    bool Run(TEntityInfo& file, TReportSetup& setup) override;

private:
    QWidget* Parent;
    TRunDialog RunDialog;
    IProcessWindow* Parameters;
};
