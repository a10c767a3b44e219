#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

class TDesktopFiles;
class TEntityInfo;
class QTableWidget;

// The report-administration window for one kind of report definition: the levels at which the
// definitions are kept and, for the active file, its own definitions file. Definitions are only
// listed here: the report editors are not part of this program, so nothing can be changed.
class TfmReportsAndLayouts : public QDialog {
    Q_OBJECT
public:
    // The kinds the Master Details menu opens the window for.
    enum TKind : int { Layouts = 5, CustomReports = 6, JobstreamSets = 7 };

    // One row of the window: the level, its file, and what the file holds.
    struct TRow {
        QString Level;
        QString File;
        QString Status;
        bool operator==(const TRow&) const = default;
    };

    explicit TfmReportsAndLayouts(QWidget* parent = nullptr);

    // "Layouts", "Custom Reports", "Report Jobstream Sets"; empty for another kind.
    static QString KindCaption(int kind);
    // The rows for a kind: the master, file, practice and superannuation levels, the file level
    // naming the active file's definitions file (no file open: none).
    static std::vector<TRow> Rows(const TEntityInfo* activeFile, int kind);

    // Fills the window for the desktop's active file (activeIndex -1: none) and shows it modally
    // through the runner given (the frame's dialog runner; exec when none). The dialog's result.
    int Execute(const TDesktopFiles& files, int activeIndex, int kind);

    QTableWidget* Table() const { return grdLevels; }

    // Shows the window modally (the frame's dialog runner); exec when unset.
    std::function<int(QDialog&)> Runner;

private:
    QTableWidget* grdLevels = nullptr;
};
