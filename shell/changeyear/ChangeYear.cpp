#include "shell/changeyear/ChangeYear.h"

#include "controls/util/ControlHelpers.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "shell/changeyear/YearChoices.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfmChangeYear::TfmChangeYear(QWidget* parent) : QDialog(parent) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    lbxYears = new QListWidget(this);
    lbxYears->setObjectName(QStringLiteral("lbxYears"));
    lbxYears->setSelectionMode(QAbstractItemView::SingleSelection);
    lbxYears->setMinimumWidth(260);
    layout->addWidget(lbxYears);
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->hide();
    layout->addWidget(lblNote);

    const TDialogButtons buttons = MakeOKCancelHelp(this);
    btnOK = buttons.OK;
    btnCancel = buttons.Cancel;
    btnHelp = buttons.Help;
    layout->addWidget(buttons.Box);
    ConnectOKCancelHelp(this, buttons, HelpTopic);
    connect(lbxYears, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { lbxYearsDblClick(item); });
    setWindowTitle(CaptionText.arg(QString()));
}

void TfmChangeYear::Setup(TEntityInfo& entity) {
    TEntityDetail& detail = entity.EntityDetail();
    if (TAccountsChart* accounts = entity.AccountsChart(detail.Year); accounts && !accounts->Saved) {
        TOptionSet options{Option::Standard};
        accounts->SaveIfModified(options);
    }
    Setup(detail.FileCode, detail.Year, detail.EndMonth, TYearChoices::ReadYearsOnDisk(detail));
}

void TfmChangeYear::Setup(const QString& fileCode, int currentYear, int endMonth, const QList<int>& onDisk) {
    setWindowTitle(CaptionText.arg(fileCode));
    lbxYears->clear();
    for (const int year : TYearChoices::ListedYears(onDisk, currentYear)) {
        auto* item = new QListWidgetItem(TYearChoices::ItemText(year, endMonth), lbxYears);
        item->setData(Qt::UserRole, year);
        if (year == currentYear)
            lbxYears->setCurrentItem(item);
    }
    const QString note = TYearChoices::OlderYearNote(onDisk, currentYear);
    lblNote->setText(note);
    lblNote->setVisible(!note.isEmpty());
}

int TfmChangeYear::ChosenYear() const {
    const QListWidgetItem* item = lbxYears->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
}

QList<int> TfmChangeYear::ListedYears() const {
    QList<int> years;
    for (int i = 0; i < lbxYears->count(); ++i)
        years.append(lbxYears->item(i)->data(Qt::UserRole).toInt());
    return years;
}

void TfmChangeYear::lbxYearsDblClick(QListWidgetItem* item) {
    if (item)
        accept();
}
