#pragma once

#include "core/entity/ChildWindowServices.h"

#include <QList>
#include <QString>
#include <QWidget>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QTableView;
class TDesktopFiles;
class TFormPlacement;
class TMasterChart;
class TMasterChartModel;

// The master-details window: the items of one master chart of the active file's current year
// (chart kind 1 accounts, 2 standard descriptions, 3 taxes, 4 currencies; 0 the
// bank-reconciliation opening balances of a reconciliation run), one window per chart kind on
// the desktop, or shown modally as a lookup (select mode) that hands back the chosen keys as
// text. The rules live in TMasterDetailsKind, TMasterChartModel and TMasterSelection; the window
// only wires them to a grid and the clipboard.
//
// The window carries the QObject property "WindowKind" (the window kind of its chart kind) and
// the object name "TfmMasterDetails". Its position is kept in the program ini under its window
// kind's name, with its window state under "WindowState" (0 normal, 1 minimised, 2 maximised).
class TfmMasterDetails : public QWidget, public IChildWindow {
    Q_OBJECT
public:
    static constexpr const char* WindowKindProperty = "WindowKind";
    static inline const QString FormName = QStringLiteral("TfmMasterDetails");

    // A dialog given as parent (see CreateDialog) is the window whose placement is kept.
    explicit TfmMasterDetails(QWidget* parent = nullptr);
    ~TfmMasterDetails() override;

    // Prepares the window for a chart kind (0 to 4; another raises EQuilvaneError): its placement
    // section, help topic and icon, the keys to select (preselectedText, a selection text),
    // whether several items may be selected (always on the desktop, where the Edit commands
    // work on several) and whether it is a lookup with OK and Cancel; then shows the chart of
    // the active file at activeIndex of the desktop list.
    void Setup(int chartKind, TDesktopFiles& desktopFiles, const QString& preselectedText, bool multiSelect,
               bool selectMode, int activeIndex);
    // The active file changed (-1: none): shows its chart of the window's kind and names it in
    // the caption ("Accounts - ABC123 (2006) - Acme"); no file, or no such chart, shows an empty
    // table. The preselected keys are selected again.
    void ActiveFileChanged(int activeIndex) override;

    int GetChartKind() const { return ChartKind; }
    bool GetSelectMode() const { return SelectMode; }
    // The selected items as a selection text (TMasterSelection::SelectionText).
    QString GetSelectionText() const;
    // Whether the clipboard holds this chart kind's format. Without it, and with showMessage, says
    // so: "The clipboard holds no Accounts." (information, OK and Help).
    bool ClipboardHasData(bool showMessage) const;

    // The main window's Edit commands. Cut asks first (question beep, Yes and No), then puts the
    // selected items on the clipboard and deletes them; Copy puts them there; Paste adds the
    // clipboard's items, telling what it skipped. Cut and Paste do nothing in select mode.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    bool HasItems() const;

    // A lookup: a modal dialog around a new window in select mode. True, with the selection text
    // in `selection`, when the user pressed OK.
    static bool Select(int chartKind, TDesktopFiles& desktopFiles, int activeIndex,
                       const QString& preselected, bool multiSelect, QString& selection, QWidget* parent);
    // A modal dialog holding a new window set up as Setup does; without select mode it has a
    // Close button (the bank-reconciliation opening balances). The caller shows and frees it.
    static QDialog* CreateDialog(int chartKind, TDesktopFiles& desktopFiles, int activeIndex,
                                 const QString& preselected, bool multiSelect, bool selectMode,
                                 QWidget* parent);

    // The chart shown; nullptr when there is none.
    TMasterChart* Chart() const;
    // The selected rows, ascending; selects rows (the first becomes current).
    QList<int> SelectedIndexes() const;
    void SelectIndexes(const QList<int>& indexes);
    int HelpContext() const;
    TFormPlacement& Placement() const { return *FormPlacement; }
    QTableView* Grid() const { return grdDetails; }
    TMasterChartModel& Model() const { return *ChartModel; }

signals:
    // OK (or Enter, or a double-click) in select mode.
    void SelectionAccepted();
    // Cancel in select mode.
    void SelectionCancelled();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs an Edit command for a key of the grid; false when the key is none.
    bool RunEditKey(const QKeyEvent& event);
    void AcceptSelection();
    void UpdateButtons();

    TMasterChartModel* ChartModel = nullptr;
    QTableView* grdDetails = nullptr;
    QDialogButtonBox* ButtonBox = nullptr;
    QPushButton* btnOK = nullptr;
    TFormPlacement* FormPlacement = nullptr;
    TDesktopFiles* Files = nullptr;
    int ChartKind = 1;
    int ActiveIndex = -1;
    QString PreselectedText;
    bool MultiSelect = true;
    bool SelectMode = false;
};
