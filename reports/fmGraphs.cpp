#include "reports/fmGraphs.h"

#include "controls/chart/GraphFile.h"
#include "controls/placement/FormPlacement.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "platform/printing/ProgramPrinter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {

// Graph files in and out of the temporary folder go through the chart's own export and import.
constexpr int GraphFileFormat = 3;
constexpr int TopTitle = 2;
constexpr int PrintedTitlePointSize = 14;

const QString PrinterErrorText = QStringLiteral("The graph cannot be printed: the printer did not start.");

void ShowError(const QString& text) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, text, TMessageButton::OK);
}

} // namespace

TfmGraphs::TfmGraphs(QWidget* parent)
    : QWidget(parent), GraphFolder(std::make_unique<QTemporaryDir>()), ChartControl(new TChartFX(this)),
      cboGraph(new QComboBox(this)), btnPrint(new QPushButton(QStringLiteral("&Print..."), this)),
      btnSaveAs(new QPushButton(QStringLiteral("&Save As..."), this)),
      btnOpen(new QPushButton(QStringLiteral("&Open..."), this)), FormPlacement(new TFormPlacement(this)) {
    setWindowTitle(QStringLiteral("Graphs"));
    setObjectName(QStringLiteral("fmGraphs"));
    setMinimumSize(320, 240);
    // The window restores and saves its placement itself, state and position both.
    FormPlacement->SetActive(false);
    FormPlacement->SetIniFileName(QStringLiteral("Quilvane.ini"));
    FormPlacement->SetIniSection(PlacementSection);
    FormPlacement->SetOptions(TPlacementOption::State | TPlacementOption::Position);

    cboGraph->setObjectName(QStringLiteral("cboGraph"));
    cboGraph->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboGraph->setMinimumContentsLength(30);
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnSaveAs->setObjectName(QStringLiteral("btnSaveAs"));
    btnOpen->setObjectName(QStringLiteral("btnOpen"));
    ChartControl->setObjectName(QStringLiteral("ChartFX"));

    auto* label = new QLabel(QStringLiteral("&Graph:"), this);
    label->setBuddy(cboGraph);
    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(cboGraph, 1);
    bar->addWidget(btnPrint);
    bar->addWidget(btnSaveAs);
    bar->addWidget(btnOpen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(ChartControl, 1);

    connect(btnPrint, &QPushButton::clicked, this, &TfmGraphs::btnPrintClick);
    connect(btnSaveAs, &QPushButton::clicked, this, &TfmGraphs::btnSaveAsClick);
    connect(btnOpen, &QPushButton::clicked, this, &TfmGraphs::btnOpenClick);
    connect(cboGraph, &QComboBox::activated, this, &TfmGraphs::cboGraphChange);
    ShowNoGraph();
    UpdateControls();
}

TfmGraphs::~TfmGraphs() = default;

void TfmGraphs::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only once the window is in its frame does its position mean anything there.
    if (!FormPlacement->Restored())
        FormPlacement->RestoreFormPlacementQuietly();
}

void TfmGraphs::closeEvent(QCloseEvent* event) {
    // A placement that cannot be written never keeps the window open.
    FormPlacement->SaveFormPlacementQuietly();
    QWidget::closeEvent(event);
}

QString TfmGraphs::GraphTitle(int index) const {
    return index >= 0 && index < GraphCount() ? Graphs[static_cast<size_t>(index)].Title : QString();
}

template <typename TMake> void TfmGraphs::MakeGraph(TEntityInfo& entity, TMake make) {
    try {
        const TGraphData graph = make();
        if (!graph.IsEmpty())
            AddGraph(graph, &entity);
    } catch (const EOperationCancelled&) {
        // The user stopped the run: nothing to add and nothing to say.
    } catch (const EAbort&) {
        // Already told.
    } catch (const EQuilvaneError& error) {
        ShowError(error.message());
    }
}

void TfmGraphs::GraphReport(TEntityInfo& entity, int reportNumber) {
    MakeGraph(entity, [&] { return IncomeExpenseGraph(entity, reportNumber); });
}

void TfmGraphs::GraphBankReconciliation(TEntityInfo& entity) {
    MakeGraph(entity, [&] { return BankBalanceGraph(entity); });
}

bool TfmGraphs::AddGraph(const TGraphData& graph, const TEntityInfo* owner) {
    TChartModel made;
    LoadGraph(graph, made);
    return AddContent(made.Shown(), graph.Title, owner);
}

QString TfmGraphs::NewGraphFileName() {
    return GraphFolder->filePath(QStringLiteral("graph%1.%2").arg(++FilesMade).arg(GraphFileSuffix));
}

bool TfmGraphs::KeepShownGraph() {
    if (Current < 0)
        return true;
    return ChartControl->Model().Export(GraphFileFormat, Graphs[static_cast<size_t>(Current)].FileName) == 0;
}

bool TfmGraphs::AddContent(const TChartContent& content, const QString& title, const TEntityInfo* owner) {
    if (!KeepShownGraph())
        return false;
    TGraphEntry entry{title, owner, NewGraphFileName()};
    try {
        if (!GraphFolder->isValid())
            throw EQuilvaneError(QStringLiteral("The graph cannot be kept: no temporary folder (%1).")
                                     .arg(GraphFolder->errorString()));
        WriteGraphFile(content, entry.FileName);
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
        return false;
    }
    Graphs.push_back(std::move(entry));
    Current = GraphCount() - 1;
    ChartControl->Model().Assign(content);
    UpdateControls();
    return true;
}

bool TfmGraphs::SelectGraph(int index) {
    if (index < 0 || index >= GraphCount())
        return false;
    if (index == Current)
        return true;
    if (!KeepShownGraph() ||
        ChartControl->Model().Import(GraphFileFormat, Graphs[static_cast<size_t>(index)].FileName) != 0) {
        UpdateControls();
        return false;
    }
    Current = index;
    UpdateControls();
    return true;
}

void TfmGraphs::DetachEntity(const TEntityInfo& entity) {
    std::vector<TGraphEntry> kept;
    int shown = -1;
    int before = -1; // the last graph kept that came before the shown one
    for (int i = 0; i < GraphCount(); ++i) {
        TGraphEntry& entry = Graphs[static_cast<size_t>(i)];
        if (entry.Owner == &entity) {
            QFile::remove(entry.FileName);
            continue;
        }
        if (i == Current)
            shown = static_cast<int>(kept.size());
        else if (i < Current)
            before = static_cast<int>(kept.size());
        kept.push_back(std::move(entry));
    }
    const bool shownGone = Current >= 0 && shown < 0;
    Graphs = std::move(kept);
    if (!shownGone) {
        Current = shown;
    } else if (Graphs.empty()) {
        Current = -1;
        ShowNoGraph();
    } else {
        Current = before >= 0 ? before : 0;
        // The graph's own file holds it as it was last shown.
        if (ChartControl->Model().Import(GraphFileFormat, Graphs[static_cast<size_t>(Current)].FileName) != 0)
            ShowNoGraph();
    }
    UpdateControls();
}

bool TfmGraphs::SaveGraph(const QString& path) {
    if (Current < 0)
        return false;
    try {
        WriteGraphFile(ChartControl->Model().Shown(), path);
        return true;
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
        return false;
    }
}

bool TfmGraphs::OpenGraph(const QString& path) {
    TChartContent content;
    try {
        content = ReadGraphFile(path);
    } catch (const std::exception& error) {
        ShowError(ErrorText(error));
        return false;
    }
    QString title = content.Titles[TopTitle];
    if (title.trimmed().isEmpty())
        title = QFileInfo(path).completeBaseName();
    return AddContent(content, title, nullptr);
}

void TfmGraphs::PrintGraph(QPrinter& printer) {
    if (Current < 0)
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ShowError(PrinterErrorText);
        return;
    }
    const QRect page = painter.viewport();
    QFont font = painter.font();
    font.setPointSize(PrintedTitlePointSize);
    font.setBold(true);
    painter.setFont(font);
    const int titleHeight = QFontMetrics(font, &printer).height() * 2;
    painter.drawText(QRect(page.left(), page.top(), page.width(), titleHeight),
                     Qt::AlignHCenter | Qt::AlignTop, GraphTitle(Current));
    ChartControl->PaintToDC(
        painter, QRectF(page.left(), page.top() + titleHeight, page.width(), page.height() - titleHeight));
    painter.end();
}

void TfmGraphs::ShowNoGraph() {
    ChartControl->Model().Assign(TChartContent{});
}

void TfmGraphs::UpdateControls() {
    const QSignalBlocker quiet(cboGraph);
    cboGraph->clear();
    for (const TGraphEntry& entry : Graphs)
        cboGraph->addItem(entry.Title);
    cboGraph->setCurrentIndex(Current);
    btnPrint->setEnabled(Current >= 0);
    btnSaveAs->setEnabled(Current >= 0);
}

void TfmGraphs::btnPrintClick() {
    QPrinter& printer = ProgramPrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintGraph(printer);
}

void TfmGraphs::btnSaveAsClick() {
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save Graph As"), GraphTitle(Current),
                                                GraphFileFilter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + GraphFileSuffix;
    SaveGraph(path);
}

void TfmGraphs::btnOpenClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open Graph"), QString(), GraphFileFilter);
    if (!path.isEmpty())
        OpenGraph(path);
}

void TfmGraphs::cboGraphChange(int index) {
    SelectGraph(index);
}
