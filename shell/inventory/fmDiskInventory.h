#pragma once

#include "shell/inventory/DiskInventory.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;
class QTableWidget;

// Tools > Transfer Disk Inventory: the transfer archives on a chosen drive, one row per file
// code and year, and the creation of a new client file from an archive whose code this system
// does not have yet (those rows are drawn on light yellow). Create, or a double click on such a
// row, makes the file and closes the dialog with OK; a failure is shown and the dialog stays.
// The rules live in TDiskInventory.
class TfmDiskInventory : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 75000;
    static inline const QStringList ColumnTitles{QStringLiteral("File Code"), QStringLiteral("Year"),
                                                 QStringLiteral("Quilvane Version"), QStringLiteral("Date")};

    explicit TfmDiskInventory(QWidget* parent = nullptr);

    // Offers the drives this system knows, selects the given one (the active file's transfer
    // drive; a null character selects none) and lists its archives. True when it holds any.
    bool Setup(QChar transferDrive);

    // The file code of the selected row; empty when no row is selected.
    QString GetSelectedFile() const;
    // After OK: the code of the file created.
    QString CreatedFileCode() const { return FCreatedCode; }
    bool FileCreated() const { return FFileCreated; }
    const TDiskInventory& Inventory() const { return FInventory; }

    QGroupBox* gbxDrive = nullptr;
    QComboBox* cboDrive = nullptr;
    QGroupBox* grbAvailableFiles = nullptr;
    QTableWidget* grdDetails = nullptr;
    QPushButton* btnCreate = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

private:
    void RefreshList();
    void FillGrid();
    int SelectedRow() const;
    void SelectionChanged();
    void btnCreateClick();

    TDiskInventory FInventory;
    QString FCreatedCode;
    bool FFileCreated = false;
};
