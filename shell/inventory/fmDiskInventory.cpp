#include "shell/inventory/fmDiskInventory.h"

#include "controls/util/SlotGuard.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 18;
const int ColumnWidths[] = {80, 50, 120, 150};

QString DriveText(QChar letter) {
    return QString(letter) + QLatin1Char(':');
}

} // namespace

TfmDiskInventory::TfmDiskInventory(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Transfer Disk Inventory"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout();
    layout->addLayout(left, 1);

    gbxDrive = new QGroupBox(QStringLiteral(" Transfer Drive : "), this);
    gbxDrive->setObjectName(QStringLiteral("gbxDrive"));
    auto* driveLayout = new QHBoxLayout(gbxDrive);
    cboDrive = new QComboBox(gbxDrive);
    cboDrive->setObjectName(QStringLiteral("cboDrive"));
    driveLayout->addWidget(cboDrive);
    driveLayout->addStretch();
    left->addWidget(gbxDrive);

    grbAvailableFiles = new QGroupBox(QStringLiteral(" Available Files : "), this);
    grbAvailableFiles->setObjectName(QStringLiteral("grbAvailableFiles"));
    auto* filesLayout = new QVBoxLayout(grbAvailableFiles);
    grdDetails = new QTableWidget(grbAvailableFiles);
    grdDetails->setObjectName(QStringLiteral("grdDetails"));
    grdDetails->setColumnCount(static_cast<int>(ColumnTitles.size()));
    grdDetails->verticalHeader()->hide();
    grdDetails->verticalHeader()->setDefaultSectionSize(RowHeight);
    grdDetails->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdDetails->setSelectionMode(QAbstractItemView::SingleSelection);
    grdDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdDetails->setWordWrap(false);
    filesLayout->addWidget(grdDetails);
    left->addWidget(grbAvailableFiles, 1);

    auto* buttons = new QVBoxLayout();
    btnCreate = new QPushButton(QStringLiteral("&Create"), this);
    btnCreate->setObjectName(QStringLiteral("btnCreate"));
    btnCreate->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnHelp = new QPushButton(QStringLiteral("&Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));
    buttons->addWidget(btnCreate);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    layout->addLayout(buttons);

    int gridWidth = 2 * grdDetails->frameWidth() + 24;
    for (const int width : ColumnWidths)
        gridWidth += width;
    resize(gridWidth + 140, 320);

    connect(cboDrive, &QComboBox::currentIndexChanged, this,
            [this] { GuardSlot([this] { RefreshList(); }); });
    connect(grdDetails, &QTableWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    connect(grdDetails, &QTableWidget::cellDoubleClicked, this, [this] {
        if (btnCreate->isEnabled())
            GuardSlot([this] { btnCreateClick(); });
    });
    connect(btnCreate, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnCreateClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [] { TServices::Help().ShowContext(HelpContext); });
    btnCreate->setEnabled(false);
}

bool TfmDiskInventory::Setup(QChar transferDrive) {
    grdDetails->setHorizontalHeaderLabels(ColumnTitles);
    for (int column = 0; column < ColumnTitles.size(); ++column)
        grdDetails->setColumnWidth(column, ColumnWidths[column]);
    FFileCreated = false;
    FCreatedCode.clear();

    const QChar wanted = transferDrive.toUpper();
    {
        const QSignalBlocker blocker(cboDrive);
        cboDrive->clear();
        // Every drive this system knows; the file's own transfer drive even when it is not ready.
        for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
            if (QChar(letter) == wanted || !TServices::FileSystem().DriveRoot(QChar(letter)).isEmpty())
                cboDrive->addItem(DriveText(QChar(letter)), QChar(letter));
        cboDrive->setCurrentIndex(cboDrive->findData(wanted));
    }
    RefreshList();
    return !FInventory.Files().isEmpty();
}

void TfmDiskInventory::RefreshList() {
    const QVariant drive = cboDrive->currentData();
    FInventory.ScanTransferFiles(drive.isValid() ? drive.toChar() : QChar());
    FillGrid();
}

void TfmDiskInventory::FillGrid() {
    const QList<TFileInfo>& files = FInventory.Files();
    {
        const QSignalBlocker blocker(grdDetails);
        grdDetails->clearSelection();
        grdDetails->setRowCount(static_cast<int>(files.size()));
        for (int row = 0; row < files.size(); ++row) {
            const TFileInfo& file = files[row];
            const QStringList cells{file.FileCode, QString::number(file.Year),
                                    TDiskInventory::TransferFormatName(file.TransferFormat),
                                    TDiskInventory::DateText(file.Modified)};
            for (int column = 0; column < cells.size(); ++column) {
                auto* item = new QTableWidgetItem(cells[column]);
                if (file.NewFile) {
                    item->setBackground(QColor::fromRgba(TDiskInventory::NewFileColour));
                    item->setForeground(QColor(Qt::black));
                }
                grdDetails->setItem(row, column, item);
            }
        }
        if (!files.isEmpty()) {
            grdDetails->setCurrentCell(0, 0);
            grdDetails->selectRow(0);
        }
    }
    SelectionChanged();
}

int TfmDiskInventory::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = grdDetails->selectedItems();
    if (selected.isEmpty())
        return -1;
    const int row = selected.first()->row();
    return row < FInventory.Files().size() ? row : -1;
}

QString TfmDiskInventory::GetSelectedFile() const {
    const int row = SelectedRow();
    return row < 0 ? QString() : FInventory.Files()[row].FileCode;
}

void TfmDiskInventory::SelectionChanged() {
    const int row = SelectedRow();
    btnCreate->setEnabled(row >= 0 && FInventory.Files()[row].NewFile);
}

void TfmDiskInventory::btnCreateClick() {
    const int row = SelectedRow();
    if (row < 0 || !FInventory.Files()[row].NewFile)
        return;
    // A copy: the list may be read again while the file is made.
    const TFileInfo file = FInventory.Files()[row];
    const auto unable = [](const QString& reason) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("Unable to create new file - ") + reason, TMessageButton::OK);
    };
    QString code;
    int result = 0;
    try {
        result = FInventory.CreateFile(file, code);
    } catch (const EAbort&) {
        return; // already shown
    } catch (const EOperationCancelled&) {
        return; // the progress window said so
    } catch (const std::exception& error) {
        unable(ErrorText(error));
        return;
    }
    if (result != 0) {
        unable(QString::number(result));
        return;
    }
    FCreatedCode = code;
    FFileCreated = true;
    accept();
}
