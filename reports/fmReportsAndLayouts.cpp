#include "reports/fmReportsAndLayouts.h"

#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "reports/LevelReports.h"
#include "reports/definitions/ReportDefinitionList.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString NoneHeld = QStringLiteral("None held on this system");

QString FileStatus(const QString& storedName) {
    const QFileInfo info(NativePath(storedName));
    if (!info.exists())
        return QStringLiteral("None");
    if (!info.isFile() || info.isSymLink())
        return QStringLiteral("Not a definitions file");
    return QStringLiteral("%1 bytes").arg(info.size());
}

} // namespace

TfmReportsAndLayouts::TfmReportsAndLayouts(QWidget* parent) : QDialog(parent), grdLevels(new QTableWidget(this)) {
    setObjectName(QStringLiteral("fmReportsAndLayouts"));
    grdLevels->setObjectName(QStringLiteral("grdLevels"));
    grdLevels->setColumnCount(3);
    grdLevels->setHorizontalHeaderLabels({QStringLiteral("Level"), QStringLiteral("File"), QStringLiteral("Holds")});
    grdLevels->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLevels->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLevels->verticalHeader()->hide();
    grdLevels->horizontalHeader()->setStretchLastSection(true);
    auto* note = new QLabel(QStringLiteral("Report definitions are listed here; they cannot be edited on this system."),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdLevels);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(560, 240);
}

QString TfmReportsAndLayouts::KindCaption(int kind) {
    switch (kind) {
    case Layouts:
        return QStringLiteral("Layouts");
    case CustomReports:
        return QStringLiteral("Custom Reports");
    case JobstreamSets:
        return QStringLiteral("Report Jobstream Sets");
    default:
        return {};
    }
}

std::vector<TfmReportsAndLayouts::TRow> TfmReportsAndLayouts::Rows(const TEntityInfo* activeFile, int kind) {
    std::vector<TRow> rows;
    for (int request = FirstLevelRequest; request <= LastLevelRequest; ++request) {
        TRow row{ReportLevelName(request), QString(), NoneHeld};
        if (request == FirstLevelRequest + rlFile) {
            if (activeFile) {
                const QString stored = OwnDefinitionsFileName(*activeFile, kind);
                row.File = NativePath(stored);
                row.Status = FileStatus(stored);
            } else {
                row.Status = QStringLiteral("No file is open");
            }
        }
        rows.push_back(row);
    }
    return rows;
}

int TfmReportsAndLayouts::Execute(const TDesktopFiles& files, int activeIndex, int kind) {
    setWindowTitle(KindCaption(kind));
    const std::vector<TRow> rows = Rows(files.File(activeIndex), kind);
    grdLevels->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TRow& row = rows[static_cast<size_t>(i)];
        grdLevels->setItem(i, 0, new QTableWidgetItem(row.Level));
        grdLevels->setItem(i, 1, new QTableWidgetItem(row.File));
        grdLevels->setItem(i, 2, new QTableWidgetItem(row.Status));
    }
    grdLevels->resizeColumnsToContents();
    return Runner ? Runner(*this) : exec();
}
