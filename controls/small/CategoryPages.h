#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;
class QTreeWidget;

// The body of a settings window: a tree of page captions on the left, the chosen page's caption
// as a heading above it on the right, and the pages themselves without tabs below the heading.
// Choosing a node shows its page; ShowPage does the same from code.
class TCategoryPages : public QWidget {
    Q_OBJECT
public:
    TCategoryPages(int treeWidth, QWidget* parent = nullptr);

    // Adds a page under its caption; its index.
    int AddPage(const QString& caption, QWidget* page);
    // Shows the page at an index with its node current and its caption in the heading (also when
    // it was shown already). An index outside the pages does nothing.
    void ShowPage(int page);
    int CurrentPage() const;
    int PageCount() const;
    // The parent for a page's controls.
    QWidget* PageParent() const;

    QTreeWidget* Tree = nullptr;     // trvCategory
    QLabel* Heading = nullptr;       // pnlPageText
    QStackedWidget* Pages = nullptr; // pgcDetails

signals:
    void PageShown(int page);

private:
    void TreeChanged();
};
