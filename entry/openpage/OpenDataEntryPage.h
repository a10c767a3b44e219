#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class TDesktopFiles;
class TOpenPageChoices;

// Data Entry > Open Page: the page kind and the period of the active file's current year to open,
// and whether that period becomes the file's default period. The caller creates the dialog, fills
// it with Setup, shows it modally and, after OK, reads GetResult (and, when asked, makes the
// period the file's default itself). The rules are TOpenPageChoices'; the dialog shows them.
class TfmOpenDataEntryPage : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 2600;
    static inline const QString Caption = QStringLiteral("Open Data Entry Page");
    static inline const QString MakeDefaultCaption =
        QStringLiteral(" &Make selected period the default period.");

    explicit TfmOpenDataEntryPage(QWidget* parent = nullptr);
    ~TfmOpenDataEntryPage() override;

    // Fills the lists for the file at activeIndex with pageKind chosen and the file's default
    // period selected. Raises EQuilvaneError when the index names no open file.
    void Setup(TDesktopFiles& desktopFiles, int activeIndex, int pageKind);
    // The page kind and period chosen (period 0 for the kinds without periods) and whether the
    // period is to become the default; read after OK. Before Setup: kind -1, period 0, false.
    void GetResult(int& pageKind, int& period, bool& makeDefault) const;

    QLabel* lblPageKind = nullptr;
    QComboBox* cboPageKind = nullptr;
    QLabel* lblPeriod = nullptr;
    QComboBox* cboPeriod = nullptr;
    QCheckBox* cbxMakeDefault = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    void cboPageKindChange(int index);
    void cboPeriodChange(int index);
    void cbxMakeDefaultClick(bool checked);
    // The period list and the box follow the chosen kind.
    void UpdatePeriodControls();

    std::unique_ptr<TOpenPageChoices> Choices;
    bool Filling = false;
};
