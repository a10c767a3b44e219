#pragma once

#include "controls/chart/ChartFX.h"
#include "reports/GraphData.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QPrinter;
class QPushButton;
class QTemporaryDir;
class TEntityInfo;
class TFormPlacement;

// The graphs window: one chart showing one of the graphs made this session, chosen in the
// "Graph:" box. Each graph is kept in a graph file of its own in a temporary folder; picking
// another graph writes the shown one to its file first (it may have been changed in the chart)
// and then reads the chosen one. Graphs of a file that closes go with it; graphs opened from a
// saved graph file belong to no file.
//
// The window keeps its state and position in the program ini, section "Graphs": it comes back
// there when it is first shown, and they are written when it closes and whenever the desktop is
// saved (Placement().SaveFormPlacement()).
class TfmGraphs : public QWidget {
    Q_OBJECT
public:
    static inline const QString PlacementSection = QStringLiteral("Graphs");
    // The file filter of the open and save dialogs, and the extension a saved graph takes.
    static inline const QString GraphFileFilter = QStringLiteral("Graph files (*.qvg)");
    static inline const QString GraphFileSuffix = QStringLiteral("qvg");

    explicit TfmGraphs(QWidget* parent = nullptr);
    ~TfmGraphs() override;

    TFormPlacement& Placement() const { return *FormPlacement; }

    // Graph 50 or 51 of the file's current year, added and shown. A run that fails (its box
    // shown) or is cancelled adds nothing; any other failure is shown in an error box.
    void GraphReport(TEntityInfo& entity, int reportNumber);
    // Graph 52 of the file's current year, in the same way.
    void GraphBankReconciliation(TEntityInfo& entity);
    // Adds a graph made elsewhere for a file (nullptr: for none) and shows it; false, after the
    // box, when it cannot be kept.
    bool AddGraph(const TGraphData& graph, const TEntityInfo* owner);
    // Drops the graphs of a file that is closing; when the shown one goes, the one before it (or
    // else the next) is shown.
    void DetachEntity(const TEntityInfo& entity);

    // Writes the shown graph as a graph file (controls/chart/GraphFile.h). False, after the
    // error box, when it cannot be written; false without a box when no graph is shown.
    bool SaveGraph(const QString& path);
    // Reads a graph file and adds it as a new graph, shown, titled by its chart title (by the
    // file's name when it has none). A file that cannot be read is shown in an error box and
    // adds nothing.
    bool OpenGraph(const QString& path);
    // Prints the shown graph on one page: its title on top, the chart below. Nothing is printed
    // when no graph is shown; a printer that cannot start shows an error box.
    void PrintGraph(QPrinter& printer);

    TChartFX* Chart() const { return ChartControl; }
    int GraphCount() const { return static_cast<int>(Graphs.size()); }
    // The index of the shown graph; -1 when there is none.
    int CurrentGraph() const { return Current; }
    QString GraphTitle(int index) const;
    // Shows another graph (as a pick in the "Graph:" box does). False, with the shown graph
    // kept, when the shown one cannot be written or the chosen one cannot be read.
    bool SelectGraph(int index);

    QComboBox* GraphList() const { return cboGraph; }
    QPushButton* PrintButton() const { return btnPrint; }
    QPushButton* SaveAsButton() const { return btnSaveAs; }
    QPushButton* OpenButton() const { return btnOpen; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct TGraphEntry {
        QString Title;
        const TEntityInfo* Owner = nullptr;
        QString FileName; // the graph's file in the temporary folder
    };

    void btnPrintClick();
    void btnSaveAsClick();
    void btnOpenClick();
    void cboGraphChange(int index);

    // Runs a graph of the file, keeping what it gives.
    template <typename TMake> void MakeGraph(TEntityInfo& entity, TMake make);
    // Writes the shown graph to its file; false after the chart's box.
    bool KeepShownGraph();
    // Adds a chart content as a new graph, shown; false after the box when it cannot be kept.
    bool AddContent(const TChartContent& content, const QString& title, const TEntityInfo* owner);
    QString NewGraphFileName();
    void ShowNoGraph();
    void UpdateControls();

    std::unique_ptr<QTemporaryDir> GraphFolder;
    std::vector<TGraphEntry> Graphs;
    int Current = -1;
    int FilesMade = 0;
    TChartFX* ChartControl = nullptr;
    QComboBox* cboGraph = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnSaveAs = nullptr;
    QPushButton* btnOpen = nullptr;
    TFormPlacement* FormPlacement = nullptr;
};
