#include "entry/openpage/OpenDataEntryPage.h"

#include "controls/util/ControlHelpers.h"
#include "controls/util/SlotGuard.h"
#include "core/common/Exceptions.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/services/Services.h"
#include "entry/openpage/OpenPageChoices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

TfmOpenDataEntryPage::TfmOpenDataEntryPage(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblPageKind = new QLabel(QStringLiteral("&Data Entry Page :"), this);
    cboPageKind = new QComboBox(this);
    cboPageKind->setObjectName(QStringLiteral("cboPageKind"));
    cboPageKind->addItems(TOpenPageChoices::KindNames());
    cboPageKind->setMaxVisibleItems(TOpenPageChoices::LastOfferedKind + 1);
    lblPageKind->setBuddy(cboPageKind);
    lblPeriod = new QLabel(QStringLiteral("&Period :"), this);
    cboPeriod = new QComboBox(this);
    cboPeriod->setObjectName(QStringLiteral("cboPeriod"));
    cboPeriod->setMaxVisibleItems(12);
    lblPeriod->setBuddy(cboPeriod);
    cbxMakeDefault = new QCheckBox(MakeDefaultCaption, this);
    cbxMakeDefault->setObjectName(QStringLiteral("cbxMakeDefault"));

    auto* fields = new QGridLayout;
    fields->addWidget(lblPageKind, 0, 0);
    fields->addWidget(cboPageKind, 0, 1);
    fields->addWidget(lblPeriod, 1, 0);
    fields->addWidget(cboPeriod, 1, 1);
    fields->addWidget(cbxMakeDefault, 2, 0, 1, 2);
    fields->setColumnStretch(1, 1);

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;
    btnHelp = buttons.Help;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons.Box);

    ConnectOKCancelHelp(this, buttons, HelpContext);
    connect(cboPageKind, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboPageKindChange(index); }); });
    connect(cboPeriod, &QComboBox::currentIndexChanged, this,
            [this](int index) { GuardSlot([&] { cboPeriodChange(index); }); });
    connect(cbxMakeDefault, &QCheckBox::toggled, this,
            [this](bool checked) { GuardSlot([&] { cbxMakeDefaultClick(checked); }); });
    setMinimumWidth(360);
}

TfmOpenDataEntryPage::~TfmOpenDataEntryPage() = default;

void TfmOpenDataEntryPage::Setup(TDesktopFiles& desktopFiles, int activeIndex, int pageKind) {
    const TEntityInfo* file = desktopFiles.File(activeIndex);
    if (!file)
        throw EQuilvaneError(QStringLiteral("No file is open to open a data entry page of"));
    auto choices = std::make_unique<TOpenPageChoices>(TOpenPageChoices::ForFile(*file, pageKind));
    {
        const QScopedValueRollback<bool> filling(Filling, true);
        Choices = std::move(choices);
        cboPageKind->setCurrentIndex(Choices->Kind());
        cboPeriod->clear();
        cboPeriod->addItems(Choices->PeriodNames());
        cboPeriod->setCurrentIndex(Choices->Period() - 1);
        cbxMakeDefault->setChecked(Choices->MakeDefault());
    }
    UpdatePeriodControls();
    cboPageKind->setFocus();
}

void TfmOpenDataEntryPage::GetResult(int& pageKind, int& period, bool& makeDefault) const {
    if (!Choices) {
        pageKind = -1;
        period = 0;
        makeDefault = false;
        return;
    }
    Choices->GetResult(pageKind, period, makeDefault);
}

void TfmOpenDataEntryPage::cboPageKindChange(int index) {
    if (Filling || !Choices)
        return;
    Choices->SetKind(index);
    UpdatePeriodControls();
}

void TfmOpenDataEntryPage::cboPeriodChange(int index) {
    if (Filling || !Choices || index < 0)
        return;
    Choices->SetPeriod(index + 1);
}

void TfmOpenDataEntryPage::cbxMakeDefaultClick(bool checked) {
    if (Filling || !Choices)
        return;
    Choices->SetMakeDefault(checked);
}

void TfmOpenDataEntryPage::UpdatePeriodControls() {
    const bool enabled = Choices && Choices->PeriodEnabled();
    lblPeriod->setEnabled(enabled);
    cboPeriod->setEnabled(enabled);
    cbxMakeDefault->setEnabled(enabled);
    SetControlColour(cboPeriod, enabled);
}
