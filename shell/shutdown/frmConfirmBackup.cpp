#include "shell/shutdown/frmConfirmBackup.h"

#include "core/services/Services.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfrmConfirmBackup::TfrmConfirmBackup(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Confirm Backup"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Image1 = new QLabel(this);
    Image1->setFixedSize(32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    lblText = new QLabel(this);
    lblText->setTextFormat(Qt::PlainText);
    lblText->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(lblText, 1);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const QString& caption, TBackupAnswer answer) {
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, answer] { done(static_cast<int>(answer)); });
        buttons->addWidget(button);
        return button;
    };
    btnYes = addButton(QStringLiteral("&Yes"), TBackupAnswer::Yes);
    btnYesToall = addButton(QStringLiteral("Y&es To All"), TBackupAnswer::YesToAll);
    btnNo = addButton(QStringLiteral("&No"), TBackupAnswer::No);
    btnNoAll = addButton(QStringLiteral("N&o to All"), TBackupAnswer::NoToAll);
    btnCancel = addButton(QStringLiteral("Cancel"), TBackupAnswer::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmConfirmBackup::SetFileText(const QString& description) {
    lblText->setText(BackupQuestionText(description));
}

void TfrmConfirmBackup::reject() {
    done(static_cast<int>(TBackupAnswer::Cancel));
}

TBackupAnswer TConfirmBackupQuestion::Ask(const QString& yearCaption) {
    TServices::Prompt().Beep(TBeep::Question);
    TfrmConfirmBackup dialog(Parent);
    dialog.SetFileText(yearCaption);
    const int result = dialog.exec();
    switch (static_cast<TBackupAnswer>(result)) {
    case TBackupAnswer::Yes:
    case TBackupAnswer::YesToAll:
    case TBackupAnswer::No:
    case TBackupAnswer::NoToAll:
        return static_cast<TBackupAnswer>(result);
    case TBackupAnswer::Cancel:
        break;
    }
    return TBackupAnswer::Cancel;
}
