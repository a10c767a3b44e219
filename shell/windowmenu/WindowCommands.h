#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class QMdiArea;
class TDesktopFiles;

// Which items of the Window menu are enabled: the arranging and closing items need a child
// window; closing everything and forgetting the window positions is always offered.
struct TWindowMenuState {
    bool Cascade = false;
    bool Tile = false;
    bool ArrangeIcons = false;
    bool CloseAllWindows = false;
    bool CloseAllAndReset = true;

    static TWindowMenuState Of(int childCount);
};

// The commands of the Window menu over the main window's multiple-document area.
class TWindowCommands {
public:
    // Closes the data-entry pages of the file at an index (recording them for the next start);
    // returns 2 when the user cancelled.
    using TClosePages = std::function<int(int fileIndex)>;
    static constexpr int PagesCancelled = 2;

    // closePages may be empty: there are then no data-entry pages to close first. The files
    // are read when the command runs, so the list may change between commands.
    TWindowCommands(QMdiArea* area, const TDesktopFiles& files, TClosePages closePages);
    // The same over any count of open files.
    TWindowCommands(QMdiArea* area, std::function<int()> openFileCount, TClosePages closePages);

    // The windows overlapping from the top left, the active one on top; each keeps its own size
    // as far as CascadeFrames lets it, and a maximised one comes back to its normal size first.
    void Cascade();
    // The windows side by side in columns filling the area, each at least TileLeast where the
    // area allows (see TileFrames); a maximised one comes back to its normal state first, the
    // active one ends on top, and minimised windows stay where they are.
    void Tile();
    // The minimised windows in a row along the bottom of the area.
    void ArrangeIcons();

    // Closes the data-entry pages of every open file, then every child window. Stops, closing
    // no window, at the first file whose pages stay open (the user cancelled): false. False too
    // when a window refused to close.
    bool CloseAllWindows();
    // CloseAllWindows, then erases the placement section of each window kind from the program
    // ini, keeping every other section. Nothing is erased when the windows did not all close,
    // since the open ones would write their positions back. Raises EQuilvaneError when the ini
    // cannot be read or written.
    bool CloseAllAndResetPositions(const QString& programIniPath);

    // The captions of the child windows, in the order they were opened.
    QStringList WindowList() const;
    // Activates the child window at an index of WindowList; false outside the list.
    bool ActivateWindow(int index);

    // The number of child windows (for TWindowMenuState::Of).
    int ChildCount() const;

    // The smallest frame tiling gives a window while the area is at least that large: smaller
    // than this a ledger or data-entry window shows too little to work in.
    static constexpr QSize TileLeast{320, 240};

    // The frames of count tiled windows in an area: side by side, one column each up to three,
    // beyond that in about as many columns as rows, the first columns taking fewer rows. There
    // are never more columns or rows than fit at TileLeast, so no frame is smaller than that
    // (nor than the area, where the area itself is smaller). When that leaves fewer places than
    // windows, the windows beyond the places lie over them again in order: window i takes place
    // i modulo the number of places. Every frame is at least one pixel each way.
    static QList<QRect> TileFrames(int count, const QSize& area);

    // The frames of windows cascaded from the top left of an area, each a step further down and
    // to the right, starting at the top left again where the next would reach past the area at
    // half its size. Each keeps its own size, but never less than half the area each way (no
    // window is left too small to use) nor reaching past the area's right or bottom edge.
    static QList<QRect> CascadeFrames(const QList<QSize>& sizes, const QSize& area, int step);

    // Erases the placement section of each window kind from an ini file and saves it when that
    // changed it; true when a section was erased.
    static bool ErasePlacementSections(const QString& iniPath);

private:
    QMdiArea* Area;
    std::function<int()> OpenFileCount;
    TClosePages ClosePages;
};
