#pragma once

#include <QWidget>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;
class TAccountsChart;
class TDesktopFiles;
class TEntityDetail;
class TNumberEdit;
class TProfitDistribution;

// The "Retained Profits" page of the bring-forward wizard: the distribution of the old year's
// retained profit over accounts, one grid row per entry, with the editors of the current entry,
// the account lookup, Add, Delete and Reset and the running total. The rules live in
// TProfitDistribution; the page edits the object it is given.
//
// Leaving the account editor, Enter in either editor, or moving to another row stores the editors
// into the current entry. Enter in the account editor moves on to the percentage and Enter in the
// percentage back to the account.
class TRetainedProfitPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int HelpContext = 70100;
    static inline const QStringList ColumnTitles{
        QStringLiteral("Account"), QStringLiteral("Account Description"), QStringLiteral("Distribution (%)")};

    explicit TRetainedProfitPage(QWidget* parent = nullptr);

    // Shows the distribution of the file at activeIndex. Accounts are looked up, and the
    // retained-profits account of Add and Reset created, in `sourceChart` (the year brought
    // forward from); without one, in the file's chart of its current year. The distribution and
    // the chart must outlive the page's use.
    void Setup(TDesktopFiles& files, int activeIndex, TProfitDistribution& distribution,
               TAccountsChart* sourceChart = nullptr);

    // Stores the editors, then checks the total: when it is not 100 says so (warning beep, error
    // box) and returns false.
    bool Validate();

    // Puts the editors into the current entry, redraws its row and the total.
    void StoreEditors();
    // The current entry (0-based; its grid row is the same).
    int CurrentEntry() const { return Current; }
    void SetCurrentEntry(int index);

    // The actions of the buttons.
    void ProfitDistAdd();
    void ProfitDistDelete();
    void ProfitDistReset();
    // The account lookup of the selection button.
    void SelectAccount();

    QGroupBox* grbRetainedProfitDistribution = nullptr;
    QTableWidget* grdProfitDistribution = nullptr;
    QLabel* lblAccount = nullptr;
    QLineEdit* edtRetainedProfitAccount = nullptr;
    QToolButton* spbPOAccount = nullptr;
    QLabel* lblPercentage = nullptr;
    TNumberEdit* edtRetainedProfitPercentage = nullptr;
    QLabel* lblTotalPercentage = nullptr;
    QLabel* lblTotalPercentageTxt = nullptr;
    QPushButton* btnAdd = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnResetRetainedProfits = nullptr;
    QAction* actProfitDistAdd = nullptr;
    QAction* actProfitDistDelete = nullptr;
    QAction* actProfitDistReset = nullptr;

private:
    void RebuildGrid();
    void DrawRow(int index);
    void LoadEditors();
    void UpdateTotal();
    void UpdateActions();
    void GridCurrentChanged(int row);
    QString CanonicalPercentage() const;
    TEntityDetail* Detail() const;

    TDesktopFiles* Files = nullptr;
    int ActiveIndex = -1;
    TProfitDistribution* Distribution = nullptr;
    TAccountsChart* Chart = nullptr;
    int Current = 0;
    // Set while the page itself moves the grid's current cell.
    bool Filling = false;
};
