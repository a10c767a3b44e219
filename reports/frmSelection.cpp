#include "reports/frmSelection.h"

#include "controls/grids/MultiSelectStringGrid.h"
#include "core/common/Exceptions.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

TfrmSelection::TfrmSelection(QWidget* parent) : QDialog(parent), List(new TMultiSelectStringGrid(this)) {
    setObjectName(QStringLiteral("frmSelection"));
    List->setColumnCount(1);
    List->horizontalHeader()->setStretchLastSection(true);
    List->horizontalHeader()->hide();
    List->verticalHeader()->hide();
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->SetSelectMultipleRows(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmSelection::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmSelection::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the files:"), this));
    layout->addWidget(List);
    layout->addWidget(buttons);
}

void TfrmSelection::Setup(int mode, const QStringList& items, int /*flag*/, QList<int>& selected) {
    if (mode != OpenFilesMode)
        throw EQuilvaneError(QStringLiteral("Selection mode %1 is not known.").arg(mode));
    setWindowTitle(QStringLiteral("Select Files"));
    Selected = &selected;
    List->ClearSelection();
    List->setRowCount(static_cast<int>(items.size()));
    for (int row = 0; row < items.size(); ++row)
        List->setItem(row, 0, new QTableWidgetItem(items[row]));
    for (int index : selected)
        if (index >= 0 && index < items.size())
            List->SetRowSelected(index, true);
    List->GotoFirstSelected();
}

void TfrmSelection::accept() {
    if (Selected != nullptr) {
        Selected->clear();
        for (int row = 0; row < List->rowCount(); ++row)
            if (List->IsRowSelected(row))
                Selected->append(row);
    }
    QDialog::accept();
}
