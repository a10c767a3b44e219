#include "shell/desktop/DesktopWidgets.h"

#include "controls/util/SlotGuard.h"
#include "shell/desktop/Desktop.h"

#include <QMenu>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Draws each item on one line, vertically centred, with an ellipsis at the end when too long.
class TOneLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::WrapText;
        option->textElideMode = Qt::ElideRight;
        option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
};

} // namespace

TActiveFileCombo::TActiveFileCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new TOneLineDelegate(this));
}

void TActiveFileCombo::Refresh(const TDesktop& desktop) {
    const QSignalBlocker quiet(this);
    clear();
    addItems(desktop.YearCaptions());
    setCurrentIndex(desktop.ActiveIndex());
    setMaxVisibleItems(std::max(4, count()));
}

void RebuildRecentFilesMenu(QMenu& fileMenu, QAction* entityListBreak, QAction* exitAction,
                            const TDesktop& desktop, const std::function<void(const QString&)>& onChosen) {
    const QList<QAction*> actions = fileMenu.actions();
    const qsizetype from = actions.indexOf(entityListBreak);
    const qsizetype to = actions.indexOf(exitAction);
    if (from < 0 || to < from)
        return;
    for (qsizetype i = from + 1; i < to; ++i) {
        fileMenu.removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    const std::vector<TRecentFile> files = desktop.RecentFiles();
    if (files.empty())
        return;
    for (const TRecentFile& file : files) {
        auto* action = new QAction(file.Caption, &fileMenu);
        action->setCheckable(true);
        action->setChecked(file.Checked);
        action->setData(file.Code);
        QObject::connect(action, &QAction::triggered, &fileMenu,
                         [onChosen, code = file.Code] { GuardSlot([&] { onChosen(code); }); });
        fileMenu.insertAction(exitAction, action);
    }
    auto* separator = new QAction(&fileMenu);
    separator->setSeparator(true);
    fileMenu.insertAction(exitAction, separator);
}
