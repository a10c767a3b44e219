#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TEntityInfo;

// File > Change Year: the years a file can move to, newest first, with the file's current year
// chosen (see TYearChoices). Double-clicking a year acts as OK.
class TfmChangeYear : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 2000;
    // The help topic the Help button opens.
    static constexpr int HelpTopic = 10000;
    static inline const QString CaptionText = QStringLiteral("Change Financial Year - %1");

    explicit TfmChangeYear(QWidget* parent = nullptr);

    // Saves the current year's accounts chart when it has unsaved changes, then lists the years
    // of the file's accounts charts on disk and the year after the current one.
    void Setup(TEntityInfo& entity);
    // The same for years already known (no disk access, nothing saved).
    void Setup(const QString& fileCode, int currentYear, int endMonth, const QList<int>& onDisk);

    // The year of the chosen item; 0 when none is chosen.
    int ChosenYear() const;
    int GetSelectedYear() const { return ChosenYear(); }
    // The years listed, in list order.
    QList<int> ListedYears() const;

    QListWidget* YearList() const { return lbxYears; }
    QLabel* NoteLabel() const { return lblNote; }

private:
    void lbxYearsDblClick(QListWidgetItem* item);

    QListWidget* lbxYears = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;
};
