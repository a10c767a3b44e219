#pragma once

#include "shell/shutdown/BackupAnswer.h"

#include <QDialog>

class QLabel;
class QPushButton;

// "Confirm Backup": offers a backup of one file being closed, with answers for the remaining
// files too. The dialog's result is the answer's number (TBackupAnswer); Esc and the close box
// give Cancel.
class TfrmConfirmBackup : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfirmBackup(QWidget* parent = nullptr);

    // Puts the file's description into the question; ampersands show as they are.
    void SetFileText(const QString& description);

    QLabel* Image1 = nullptr;
    QLabel* lblText = nullptr;
    QPushButton* btnYes = nullptr;
    QPushButton* btnYesToall = nullptr;
    QPushButton* btnNo = nullptr;
    QPushButton* btnNoAll = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void reject() override;
};

// The program's backup offer: the question beep, then the confirmation window with the file's
// caption.
class TConfirmBackupQuestion : public IBackupQuestion {
public:
    explicit TConfirmBackupQuestion(QWidget* parent = nullptr) : Parent(parent) {}
    TBackupAnswer Ask(const QString& yearCaption) override;

private:
    QWidget* Parent;
};
