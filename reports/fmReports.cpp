#include "reports/fmReports.h"

#include "controls/placement/FormPlacement.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/EntityReportSources.h"
#include "reports/ReportMenu.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

TfmReports::TfmReports(QWidget* parent)
    : QWidget(parent), Tabs(new QTabWidget(this)), FormPlacement(new TFormPlacement(this)) {
    setWindowTitle(QStringLiteral("Reports"));
    setObjectName(QStringLiteral("fmReports"));
    // Below this the report pages cannot be read; a stored place smaller than it is not taken.
    setMinimumSize(240, 120);
    // The window restores and saves its placement itself.
    FormPlacement->SetActive(false);
    FormPlacement->SetIniFileName(QStringLiteral("Quilvane.ini"));
    FormPlacement->SetIniSection(PlacementSection);
    FormPlacement->SetOptions(TPlacementOption::Position);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tabs);
    connect(Tabs, &QTabWidget::currentChanged, this, [this](int index) { Model.SetCurrent(index); });
}

void TfmReports::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only once the window is in its frame does its position mean anything there. A placement
    // that cannot be read leaves the window where the frame put it.
    if (!FormPlacement->Restored())
        FormPlacement->RestoreFormPlacementQuietly();
}

void TfmReports::closeEvent(QCloseEvent* event) {
    // A placement that cannot be written never keeps the window open.
    FormPlacement->SaveFormPlacementQuietly();
    QWidget::closeEvent(event);
}

void TfmReports::AddPage(int index) {
    auto* text = new QPlainTextEdit(Tabs);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Tabs->insertTab(index, text, Model.Document(index).Title);
}

void TfmReports::ShowLines(int index) {
    auto* text = static_cast<QPlainTextEdit*>(Tabs->widget(index));
    text->setPlainText(Model.Document(index).Lines.join(u'\n'));
}

int TfmReports::ShowReport(const TReportText& report, const TEntityInfo* owner) {
    const int index = Model.Add(report.Title, owner, report.Lines);
    AddPage(index);
    ShowLines(index);
    Tabs->setCurrentIndex(index);
    return index;
}

void TfmReports::AddLine(const QString& line) {
    const int before = Model.Count();
    const int index = Model.AppendLine(line);
    if (Model.Count() != before) {
        AddPage(index);
        Tabs->setCurrentIndex(index);
    }
    static_cast<QPlainTextEdit*>(Tabs->widget(index))->appendPlainText(line);
}

void TfmReports::DetachEntity(const TEntityInfo& entity) {
    // The documents already know which stays current; the tab bar's moves on the way are not news.
    const QSignalBlocker quiet(Tabs);
    for (int index : Model.Detach(&entity)) {
        QWidget* page = Tabs->widget(index);
        Tabs->removeTab(index);
        delete page;
    }
    if (Model.Current() >= 0)
        Tabs->setCurrentIndex(Model.Current());
}

void TfmReports::RunReport(const TEntityInfo& entity, int reportNumber) {
    ShowReport(ProduceReport(reportNumber, EntityReportSources(entity)), &entity);
}

void TfmReports::GeneralLedgerReport(const TEntityInfo& entity) {
    RunReport(entity, ::GeneralLedgerReport);
}
void TfmReports::TransactionListReport(const TEntityInfo& entity) {
    RunReport(entity, TransactionListing);
}
void TfmReports::ChartOfAccountsReport(const TEntityInfo& entity) {
    RunReport(entity, ChartOfAccountsListing);
}
void TfmReports::StdDescriptionsReport(const TEntityInfo& entity) {
    RunReport(entity, StdDescriptionsListing);
}
void TfmReports::TaxCodesReport(const TEntityInfo& entity) {
    RunReport(entity, TaxCodesListing);
}
void TfmReports::CurrencyRatesReport(const TEntityInfo& entity) {
    RunReport(entity, CurrencyRatesListing);
}
void TfmReports::TransactionFilesReport(const TEntityInfo& entity) {
    RunReport(entity, TransactionFilesListing);
}
void TfmReports::LogReport(const TEntityInfo& entity, int reportNumber) {
    RunReport(entity, reportNumber);
}
void TfmReports::RunMasterReport(const TEntityInfo& entity, int reportNumber, int /*level*/) {
    ShowReport(NotAvailableReport(reportNumber), &entity);
}
