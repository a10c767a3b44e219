#include "shell/filecode/ChangeFileCode.h"

#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "shell/filecode/FileCodeChange.h"
#include "shell/filecode/FileCodeEdit.h"
#include "shell/filecode/FileCodeRules.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TfmChangeFileCode::TfmChangeFileCode(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    lblOpenFiles = new QLabel(QStringLiteral("Open Files :"), this);
    cboOpenFiles = new QComboBox(this);
    cboOpenFiles->setObjectName(QStringLiteral("cboOpenFiles"));
    cboOpenFiles->setMinimumWidth(300);
    lblOpenFiles->setBuddy(cboOpenFiles);
    lblFileCode = new QLabel(QStringLiteral("New File Code     :"), this);
    medFileCode = new TFileCodeEdit(this);
    medFileCode->setObjectName(QStringLiteral("medFileCode"));
    lblFileCode->setBuddy(medFileCode);
    fields->addWidget(lblOpenFiles, 0, 0);
    fields->addWidget(cboOpenFiles, 0, 1);
    fields->addWidget(lblFileCode, 1, 0);
    fields->addWidget(medFileCode, 1, 1, Qt::AlignLeft);
    layout->addLayout(fields);

    const TDialogButtons dialogButtons = MakeOKCancelHelp(this);
    QDialogButtonBox* buttons = dialogButtons.Box;
    btnOK = dialogButtons.OK;
    btnCancel = dialogButtons.Cancel;
    btnHelp = dialogButtons.Help;
    layout->addWidget(buttons);

    // OK is handled by btnOKClick alone: the box's accepted signal would close the dialog first.
    connect(btnOK, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnOKClick(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { GuardSlot([this] { TServices::Help().ShowContext(HelpTopicFor(ChangeMode)); }); });
    setWindowTitle(CaptionFor(ChangeMode));
}

QString TfmChangeFileCode::CaptionFor(int mode) {
    return QStringLiteral("%1 File").arg(TFileCodeChange::ModeWord(mode));
}

int TfmChangeFileCode::HelpTopicFor(int mode) {
    return mode == TFileCodeChange::Copy ? CopyHelpTopic : RenameHelpTopic;
}

void TfmChangeFileCode::Setup(const QStringList& captions, int activeIndex, int mode) {
    ChangeMode = mode;
    setWindowTitle(CaptionFor(mode));
    cboOpenFiles->clear();
    cboOpenFiles->addItems(captions);
    int current = activeIndex;
    if (current < 0 || current >= captions.size())
        current = captions.isEmpty() ? -1 : 0;
    cboOpenFiles->setCurrentIndex(current);
    medFileCode->clear();
    medFileCode->setFocus();
}

void TfmChangeFileCode::Setup(const TDesktopFiles& desktopFiles, int activeIndex, int mode) {
    QStringList captions;
    for (int index = 0; index < desktopFiles.Count(); ++index)
        captions.append(desktopFiles.File(index)->YearCaption(-1));
    Setup(captions, activeIndex, mode);
    ExecuteChange = [&desktopFiles](int fileIndex, const QString& newCode, int changeMode) {
        TEntityInfo* file = desktopFiles.File(fileIndex);
        return file != nullptr && TFileCodeChange().Execute(*file, newCode, changeMode);
    };
}

int TfmChangeFileCode::SelectedIndex() const {
    return cboOpenFiles->currentIndex();
}

QString TfmChangeFileCode::NewCode() const {
    return medFileCode->Code();
}

bool TfmChangeFileCode::ValidateFileCode() {
    const QString error = TFileCodeRules::Check(NewCode(), true);
    if (error.isEmpty())
        return true;
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, error, TMessageButton::OK);
    medFileCode->setFocus();
    return false;
}

bool TfmChangeFileCode::Execute() {
    if (!ExecuteChange || SelectedIndex() < 0)
        return false;
    try {
        return ExecuteChange(SelectedIndex(), NewCode(), ChangeMode);
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

void TfmChangeFileCode::btnOKClick() {
    if (!ValidateFileCode())
        return;
    if (Running) {
        // exec() runs the change once the dialog is hidden.
        accept();
        return;
    }
    hide();
    if (Execute())
        accept();
    else {
        show();
        medFileCode->setFocus();
    }
}

int TfmChangeFileCode::exec() {
    Running = true;
    const auto stop = qScopeGuard([this] { Running = false; });
    for (;;) {
        if (QDialog::exec() != QDialog::Accepted)
            return QDialog::Rejected;
        if (Execute())
            return QDialog::Accepted;
        medFileCode->setFocus();
    }
}
