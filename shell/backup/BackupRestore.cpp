#include "shell/backup/BackupRestore.h"

#include "controls/small/FocusNext.h"
#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/entity/RunParams.h"
#include "core/files/FileQuestions.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/ProcessKinds.h"
#include "platform/mail/DesktopMailSender.h"
#include "platform/mail/MailSender.h"
#include "platform/zip/ZipFile.h"
#include "shell/backup/ArchiveComment.h"
#include "shell/backup/BackupArchives.h"
#include "shell/backup/BackupRestoreProcess.h"
#include "shell/backup/RtfText.h"
#include "shell/backup/SendFileByEmail.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

bool IsTransferOut(int process) {
    return process == prTransferToClient || process == prTransferToAccountant;
}
bool IsTransferIn(int process) {
    return process == prTransferFromClient || process == prTransferFromAccountant;
}
bool IsTransfer(int process) {
    return IsTransferOut(process) || IsTransferIn(process);
}

// The memo as rich text: the first line "File Information:" in blue bold, the second red bold.
QString NotFoundHtml(const QString& word, const QString& folder) {
    return QStringLiteral(
               "<p><b><span style=\"color:#0000ff\">File Information:</span></b><br>"
               "<b><span style=\"color:#ff0000\">Unable to locate a %1 file in folder %2</span></b></p>")
        .arg(word.toHtmlEscaped(), folder.toHtmlEscaped());
}

QString Word(int process) {
    return IsTransfer(process) ? QStringLiteral("transfer") : QStringLiteral("backup");
}

} // namespace

TfmBackupRestore::TfmBackupRestore(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmBackupRestore"));
    lblDrive = new QLabel(QStringLiteral("Backup &Drive:"), this);
    cboDrive = new QComboBox(this);
    cboDrive->setObjectName(QStringLiteral("cboDrive"));
    cboDrive->setStatusTip(QStringLiteral("Select a disk drive to use for this operation."));
    lblDrive->setBuddy(cboDrive);
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const QString root = TServices::FileSystem().DriveRoot(QChar(letter));
        if (!root.isEmpty())
            cboDrive->addItem(QStringLiteral("%1:  %2").arg(QChar(letter)).arg(root), QChar(letter));
    }
    lblFileID = new QLabel(QStringLiteral("Backup &ID:"), this);
    cboFile = new QComboBox(this);
    cboFile->setObjectName(QStringLiteral("cboFile"));
    lblFileID->setBuddy(cboFile);
    lblMemo = new QLabel(QStringLiteral("Backup &Memo:"), this);
    memZipMemo = new QTextEdit(this);
    memZipMemo->setObjectName(QStringLiteral("memZipMemo"));
    memZipMemo->setAcceptRichText(true);
    lblMemo->setBuddy(memZipMemo);
    lblLogComment = new QLabel(QStringLiteral("&Log File Comment:"), this);
    edtLogFileComment = new QLineEdit(this);
    edtLogFileComment->setObjectName(QStringLiteral("edtLogFileComment"));
    edtLogFileComment->setMaxLength(80);
    lblLogComment->setBuddy(edtLogFileComment);
    cbxArchive = new QCheckBox(QStringLiteral(" &Archive files"), this);
    cbxArchive->setObjectName(QStringLiteral("cbxArchive"));
    cbxArchive->hide();
    cbxEmailUsingOutlook = new QCheckBox(QStringLiteral("Send to e-mail recipient"), this);
    cbxEmailUsingOutlook->setObjectName(QStringLiteral("cbxEmailUsingOutlook"));
    cbxEmailUsingOutlook->setEnabled(false);

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    btnOK = buttons.OK;
    btnOK->setText(QStringLiteral("Backup"));
    FocusNext1 = new TFocusNext(this);
    btnCancel = buttons.Cancel;
    btnHelp = buttons.Help;
    connect(buttons.Box, &QDialogButtonBox::accepted, this, [this] { GuardSlot([this] { btnOKClick(); }); });
    connect(buttons.Box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons.Box, &QDialogButtonBox::helpRequested, this,
            [this] { GuardSlot([this] { TServices::Help().ShowContext(HelpContext()); }); });

    auto* fields = new QGridLayout;
    fields->addWidget(lblDrive, 0, 0);
    fields->addWidget(cboDrive, 0, 1);
    fields->addWidget(lblFileID, 1, 0);
    fields->addWidget(cboFile, 1, 1);
    fields->addWidget(lblMemo, 2, 0, 1, 2);
    fields->addWidget(memZipMemo, 3, 0, 1, 2);
    fields->addWidget(lblLogComment, 4, 0);
    fields->addWidget(edtLogFileComment, 4, 1);
    fields->addWidget(cbxArchive, 5, 0, 1, 2);
    fields->addWidget(cbxEmailUsingOutlook, 6, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons.Box);
    resize(480, 420);

    connect(cboDrive, &QComboBox::currentIndexChanged, this,
            [this] { GuardSlot([this] { cboDriveChange(); }); });
    connect(cboFile, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([this, index] { cboFileChange(index); }); });
    connect(cbxEmailUsingOutlook, &QCheckBox::clicked, this,
            [this] { GuardSlot([this] { cbxEmailUsingOutlookClick(); }); });
}

TfmBackupRestore::~TfmBackupRestore() = default;

QChar TfmBackupRestore::Drive() const {
    return cboDrive->currentData().toChar();
}

int TfmBackupRestore::HelpContext() const {
    if (IsTransferOut(Process))
        return TransferOutHelp;
    if (IsTransferIn(Process))
        return TransferInHelp;
    return Process == prRestore ? RestoreHelp : BackupHelp;
}

void TfmBackupRestore::SetupForm(TEntityInfo& file, TReportSetup& setup) {
    File = &file;
    Setup = &setup;
    Process = setup.ProcessKind;
    const TEntityDetail& detail = file.EntityDetail();
    setWindowTitle(QStringLiteral("%1 - %2 (%3 Financial Year)")
                       .arg(ProcessKindEntry(Process).Name.toString(), detail.FileCode)
                       .arg(detail.Year));
    const QSignalBlocker blockFile(cboFile);
    cboFile->clear();
    memZipMemo->clear();
    edtLogFileComment->clear();
    QString folder = detail.BackupDir;
    if (IsTransferOut(Process)) {
        lblMemo->setText(QStringLiteral("Transfer Memo:"));
        cbxEmailUsingOutlook->setEnabled(true);
        btnOK->setText(QStringLiteral("&Transfer"));
    } else if (IsTransferIn(Process)) {
        lblMemo->setText(QStringLiteral("Transfer &Information:"));
        btnOK->setText(QStringLiteral("&Select"));
        lblLogComment->hide();
        edtLogFileComment->hide();
        memZipMemo->setReadOnly(true);
        memZipMemo->setFixedHeight(211);
    }
    if (IsTransfer(Process)) {
        folder = detail.XferDir;
        lblDrive->setText(QStringLiteral("Transfer &Drive:"));
        lblFileID->setText(QStringLiteral("Transfer &Format:"));
        cboFile->addItem(QStringLiteral("Quilvane 2006"));
        cboFile->setCurrentIndex(0);
        cboFile->setStatusTip(QStringLiteral("Select the file format to be used for the transfer"));
        memZipMemo->setStatusTip(QStringLiteral("Information for the file transfer."));
        edtLogFileComment->setStatusTip(QStringLiteral("Enter a comment for the transfer log file"));
    } else if (Process == prBackup) {
        cboFile->setStatusTip(QStringLiteral("Current backup ID."));
        memZipMemo->setStatusTip(QStringLiteral("Enter a Memo to be attached to the current backup."));
        edtLogFileComment->setStatusTip(QStringLiteral("Enter a comment for the backup log file."));
        cbxArchive->show();
        cbxEmailUsingOutlook->setEnabled(true);
    } else if (Process == prRestore) {
        btnOK->setText(QStringLiteral("&") + ProcessKindEntry(Process).Name.toString());
        lblMemo->setText(QStringLiteral("Backup &Information:"));
        cboFile->setStatusTip(QStringLiteral("Select from the available backups on the current drive."));
        memZipMemo->setStatusTip(QStringLiteral("Memo attached to the backup file."));
        memZipMemo->setReadOnly(true);
        edtLogFileComment->setStatusTip(QStringLiteral("Enter a comment for the restore log file."));
    }
    // The drive of the stored folder, added when this workstation has no folder for it.
    const QChar letter = folder.isEmpty() ? QChar(u'C') : folder[0].toUpper();
    int index = cboDrive->findData(letter);
    if (index < 0) {
        cboDrive->addItem(QStringLiteral("%1:").arg(letter), letter);
        index = cboDrive->count() - 1;
    }
    const QSignalBlocker blockDrive(cboDrive);
    cboDrive->setCurrentIndex(index);
    cboDriveChange();
}

void TfmBackupRestore::cboDriveChange() {
    if (CheckPending)
        return;
    CheckPending = true;
    // The drive box finishes its own change first; the check follows from the event loop.
    QMetaObject::invokeMethod(
        this, [this] { GuardSlot([this] { CheckDrive(); }); }, Qt::QueuedConnection);
}

void TfmBackupRestore::CheckDrive() {
    if (!CheckPending || !File)
        return;
    const auto done = qScopeGuard([this] { CheckPending = false; });
    const QChar drive = Drive();
    if (ConfirmDiskReady(drive, Process, false) != DiskReady) {
        memZipMemo->clear();
        if (Process == prRestore)
            cboFile->clear();
        btnOK->setEnabled(false);
        return;
    }
    btnOK->setEnabled(true);
    TBackupRestoreProcess paths(*File, *Setup);
    if (IsTransferIn(Process))
        ShowArchiveInformation(paths.TransferArchive(drive));
    else if (Process == prBackup)
        ProposeBackup();
    else if (Process == prRestore)
        ListBackups();
    if (cbxEmailUsingOutlook->isChecked())
        cbxEmailUsingOutlookClick();
}

void TfmBackupRestore::ProposeBackup() {
    TEntityDetail& detail = File->EntityDetail();
    TBackupRestoreProcess paths(*File, *Setup);
    const QDir folder(paths.ArchiveFolder(Drive()));
    Proposed = BackupArchives::ProposeNextBackup(folder.entryList(QDir::Files), detail.FileCode, detail.Year,
                                                 detail.BackupCount(detail.Year));
    detail.SetBackupCount(detail.Year, Proposed);
    const QSignalBlocker block(cboFile);
    cboFile->clear();
    cboFile->addItem(BackupArchives::ProposalText(Proposed, QDateTime::currentDateTime()));
    cboFile->setCurrentIndex(0);
}

void TfmBackupRestore::ListBackups() {
    const TEntityDetail& detail = File->EntityDetail();
    TBackupRestoreProcess paths(*File, *Setup);
    const QList<BackupArchives::TBackupFileInfo> found =
        BackupArchives::ListBackups(paths.ArchiveFolder(Drive()), detail.FileCode, detail.Year);
    BackupPaths.clear();
    {
        const QSignalBlocker block(cboFile);
        cboFile->clear();
        for (const BackupArchives::TBackupFileInfo& info : found) {
            cboFile->addItem(BackupArchives::BackupListText(info));
            BackupPaths << info.Path;
        }
    }
    if (found.isEmpty()) {
        SetNotFound(paths.ArchiveFolder(Drive()));
        return;
    }
    cboFile->setCurrentIndex(0);
    cboFileChange(0);
}

void TfmBackupRestore::cboFileChange(int index) {
    if (!Setup)
        return;
    Setup->SelectedIndex = index;
    if (IsTransferIn(Process))
        CheckDrive();
    else if (Process == prRestore && index >= 0 && index < BackupPaths.size())
        ShowArchiveInformation(BackupPaths[index]);
    else if (IsTransferOut(Process))
        memZipMemo->clear();
}

void TfmBackupRestore::SetNotFound(const QString& folder) {
    QString shown = QDir::toNativeSeparators(folder);
    while (shown.size() > 1 && (shown.endsWith(u'/') || shown.endsWith(u'\\')))
        shown.chop(1);
    memZipMemo->setHtml(NotFoundHtml(Word(Process), shown));
    btnOK->setEnabled(false);
}

void TfmBackupRestore::ShowArchiveInformation(const QString& archive) {
    TUnzipFile unzip;
    unzip.ZipFile = archive;
    unzip.DecryptCode = ArchivePassword.toString();
    if (!QFileInfo::exists(archive) || unzip.Open() != 0) {
        SetNotFound(QFileInfo(archive).absolutePath());
        return;
    }
    const QByteArray stored = unzip.Comment();
    if (stored.isEmpty()) {
        memZipMemo->setPlainText(QStringLiteral("No memo was recorded for this %1.").arg(Word(Process)));
    } else {
        const QString rtf =
            ReadArchiveComment(stored, IsTransfer(Process), QFileInfo(archive).lastModified());
        QTextDocument document;
        TRtfText::ToDocument(rtf, document);
        memZipMemo->setDocument(document.clone(memZipMemo));
    }
    btnOK->setEnabled(true);
}

void TfmBackupRestore::cbxEmailUsingOutlookClick() {
    if (!cbxEmailUsingOutlook->isChecked() || !IsRemovableDrive(Drive()))
        return;
    TServices::Prompt().Beep(TBeep::Information);
    TServices::Prompt().ShowMessage(TMessageKind::Information, FloppyEmailText, TMessageButton::OK);
    cbxEmailUsingOutlook->setChecked(false);
}

void TfmBackupRestore::btnOKClick() {
    if (!File || !Setup)
        return;
    hide();
    TEntityDetail& detail = File->EntityDetail();
    Setup->LogComment = edtLogFileComment->text();
    QStringList notes;
    if (IsTransferIn(Process) && Parameters && !Parameters->Run(*File, *Setup)) {
        Setup->ResultCode = TBackupRestoreProcess::Cancelled;
    } else {
        TBackupRestoreRequest request;
        request.Drive = Drive();
        request.ArchiveFiles = cbxArchive->isVisible() && cbxArchive->isChecked();
        request.BackupNumber = Proposed;
        if (Process == prRestore && Setup->SelectedIndex >= 0 && Setup->SelectedIndex < BackupPaths.size()) {
            request.RestorePath = BackupPaths[Setup->SelectedIndex];
            request.ListText = cboFile->itemText(Setup->SelectedIndex);
        }
        if (!memZipMemo->isReadOnly() && !memZipMemo->toPlainText().trimmed().isEmpty())
            request.MemoRtf = TRtfText::FromDocument(*memZipMemo->document());
        TBackupRestoreProcess process(*File, *Setup);
        process.SetProgress(TServices::ProgressFactory().CreateProgress());
        const int result = process.Run(request);
        // Only an archive this run wrote is sent: a refused or failed run leaves an older one.
        if (result == 0 && cbxEmailUsingOutlook->isEnabled() && cbxEmailUsingOutlook->isChecked()) {
            const bool backup = Process == prBackup;
            const QString subject = (backup ? QStringLiteral("QUILVANE Backup File for %1 - %2")
                                            : QStringLiteral("QUILVANE Transfer File for %1 - %2"))
                                        .arg(detail.FileCode, detail.Name);
            const QString body =
                QStringLiteral("Attached is a Quilvane %1 file containing information for %2 - %3 for the %4 "
                               "financial year.")
                    .arg(backup ? QStringLiteral("backup") : QStringLiteral("transfer"), detail.FileCode,
                         detail.Name)
                    .arg(detail.Year);
            TDesktopMailSender desktop;
            SendFileByEmail(detail, EmailsToTransferAddress(Process), subject, body, process.ArchivePath(),
                            Mail ? *Mail : desktop);
        }
        process.Log(result);
        notes = process.Notes();
    }
    const int result = Setup->ResultCode;
    TBackupRestoreProcess::TReport report = TBackupRestoreProcess::ResultReport(result, Process);
    if (result == 0 && !notes.isEmpty())
        report.Text += QStringLiteral("\r\r") + notes.join(QStringLiteral("\r"));
    if (report.Show) {
        TServices::Prompt().Beep(report.Beep);
        TServices::Prompt().ShowMessage(report.Kind, report.Text, TMessageButton::OK);
    }
    done(result == 0 ? QDialog::Accepted : QDialog::Rejected);
}

TBackupRestoreWindow::TBackupRestoreWindow(QWidget* parent, TRunDialog runDialog, IProcessWindow* parameters)
    : Parent(parent), RunDialog(std::move(runDialog)), Parameters(parameters) {}

bool TBackupRestoreWindow::Run(TEntityInfo& file, TReportSetup& setup) {
    TfmBackupRestore dialog(Parent);
    dialog.SetParameters(Parameters);
    dialog.SetupForm(file, setup);
    const int answer = RunDialog ? RunDialog(dialog) : dialog.exec();
    const bool done = answer == QDialog::Accepted && setup.ResultCode == 0;
    // A transfer out names the archive it wrote (native), so that its arrival is known as ours.
    if (done && IsTransferOut(setup.ProcessKind))
        setup.OutputText = TBackupRestoreProcess(file, setup).TransferArchive(dialog.Drive());
    return done;
}
