#include "controls/small/CategoryPages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TCategoryPages::TCategoryPages(int treeWidth, QWidget* parent) : QWidget(parent) {
    Tree = new QTreeWidget(this);
    Tree->setObjectName(QStringLiteral("trvCategory"));
    Tree->setHeaderHidden(true);
    Tree->setColumnCount(1);
    Tree->setRootIsDecorated(false);
    Tree->setFixedWidth(treeWidth);

    Heading = new QLabel(this);
    Heading->setObjectName(QStringLiteral("pnlPageText"));
    Heading->setFrameShape(QFrame::Panel);
    Heading->setFrameShadow(QFrame::Sunken);
    Heading->setMargin(4);
    QFont headingFont = Heading->font();
    headingFont.setBold(true);
    Heading->setFont(headingFont);

    Pages = new QStackedWidget(this);
    Pages->setObjectName(QStringLiteral("pgcDetails"));

    auto* column = new QVBoxLayout;
    column->addWidget(Heading);
    column->addWidget(Pages, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tree);
    layout->addLayout(column, 1);

    connect(Tree, &QTreeWidget::currentItemChanged, this, [this] { TreeChanged(); });
}

int TCategoryPages::AddPage(const QString& caption, QWidget* page) {
    new QTreeWidgetItem(Tree, QStringList{caption});
    return Pages->addWidget(page);
}

void TCategoryPages::TreeChanged() {
    QTreeWidgetItem* item = Tree->currentItem();
    const int page = item ? Tree->indexOfTopLevelItem(item) : -1;
    if (page < 0 || page >= Pages->count())
        return;
    Pages->setCurrentIndex(page);
    Heading->setText(item->text(0));
    emit PageShown(page);
}

void TCategoryPages::ShowPage(int page) {
    QTreeWidgetItem* item = Tree->topLevelItem(page);
    if (!item || page >= Pages->count())
        return;
    if (Tree->currentItem() == item)
        TreeChanged();
    else
        Tree->setCurrentItem(item);
}

int TCategoryPages::CurrentPage() const {
    return Pages->currentIndex();
}

int TCategoryPages::PageCount() const {
    return Pages->count();
}

QWidget* TCategoryPages::PageParent() const {
    return Pages;
}
