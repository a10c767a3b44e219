#include "shell/windowmenu/WindowCommands.h"

#include "core/entity/DesktopFiles.h"
#include "core/io/IniFile.h"
#include "core/vocab/WindowKinds.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

QList<QMdiSubWindow*> OpenWindows(const QMdiArea* area) {
    QList<QMdiSubWindow*> windows;
    if (!area)
        return windows;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::CreationOrder))
        if (!window->isHidden())
            windows.append(window);
    return windows;
}

// The open windows that Cascade and Tile arrange: all but the minimised ones.
QList<QMdiSubWindow*> ArrangedWindows(const QMdiArea* area) {
    QList<QMdiSubWindow*> windows = OpenWindows(area);
    windows.removeIf([](const QMdiSubWindow* window) { return window->isMinimized(); });
    return windows;
}

} // namespace

TWindowMenuState TWindowMenuState::Of(int childCount) {
    const bool any = childCount > 0;
    return {any, any, any, any, true};
}

TWindowCommands::TWindowCommands(QMdiArea* area, const TDesktopFiles& files, TClosePages closePages)
    : TWindowCommands(
          area, [&files] { return files.Count(); }, std::move(closePages)) {}

TWindowCommands::TWindowCommands(QMdiArea* area, std::function<int()> openFileCount, TClosePages closePages)
    : Area(area), OpenFileCount(std::move(openFileCount)), ClosePages(std::move(closePages)) {}

void TWindowCommands::Cascade() {
    if (!Area)
        return;
    QList<QMdiSubWindow*> cascaded = ArrangedWindows(Area);
    if (cascaded.isEmpty())
        return;
    // The active window ends on top.
    QMdiSubWindow* active = Area->activeSubWindow();
    if (active && cascaded.removeOne(active))
        cascaded.append(active);
    QList<QSize> sizes;
    for (QMdiSubWindow* window : cascaded) {
        if (window->isMaximized())
            window->showNormal();
        sizes.append(window->size());
    }
    const int step = std::max(8, Area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, cascaded[0]));
    const QList<QRect> frames = CascadeFrames(sizes, Area->viewport()->size(), step);
    for (qsizetype i = 0; i < cascaded.size(); ++i) {
        cascaded[i]->setGeometry(frames[i]);
        cascaded[i]->raise();
    }
    Area->setActiveSubWindow(cascaded.constLast());
}

void TWindowCommands::Tile() {
    if (!Area)
        return;
    const QList<QMdiSubWindow*> tiled = ArrangedWindows(Area);
    if (tiled.isEmpty())
        return;
    const QList<QRect> frames = TileFrames(static_cast<int>(tiled.size()), Area->viewport()->size());
    for (qsizetype i = 0; i < tiled.size(); ++i) {
        QMdiSubWindow* window = tiled[i];
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(frames[i]);
        // Windows sharing a place lie in order, the later over the earlier.
        window->raise();
    }
    // The active window stays in view over any window sharing its place.
    if (QMdiSubWindow* active = Area->activeSubWindow(); active && tiled.contains(active)) {
        active->raise();
        Area->setActiveSubWindow(active);
    }
}

void TWindowCommands::ArrangeIcons() {
    if (!Area)
        return;
    int left = 0;
    const int bottom = Area->viewport()->height();
    for (QMdiSubWindow* window : OpenWindows(Area)) {
        if (!window->isMinimized())
            continue;
        window->move(left, bottom - window->height());
        left += window->width();
    }
}

bool TWindowCommands::CloseAllWindows() {
    if (ClosePages && OpenFileCount)
        for (int i = 0; i < OpenFileCount(); ++i)
            if (ClosePages(i) == PagesCancelled)
                return false;
    if (!Area)
        return true;
    Area->closeAllSubWindows();
    return OpenWindows(Area).isEmpty();
}

bool TWindowCommands::CloseAllAndResetPositions(const QString& programIniPath) {
    if (!CloseAllWindows())
        return false;
    ErasePlacementSections(programIniPath);
    return true;
}

bool TWindowCommands::ErasePlacementSections(const QString& iniPath) {
    TIniFile ini(iniPath);
    for (const TWindowKindEntry& kind : WindowKindTable)
        ini.EraseSection(kind.Name.toString());
    if (!ini.Modified())
        return false;
    ini.UpdateFile();
    return true;
}

QStringList TWindowCommands::WindowList() const {
    QStringList captions;
    for (const QMdiSubWindow* window : OpenWindows(Area)) {
        QString caption = window->windowTitle();
        if (caption.isEmpty() && window->widget())
            caption = window->widget()->windowTitle();
        captions.append(caption);
    }
    return captions;
}

bool TWindowCommands::ActivateWindow(int index) {
    const QList<QMdiSubWindow*> windows = OpenWindows(Area);
    if (index < 0 || index >= windows.size())
        return false;
    QMdiSubWindow* window = windows[index];
    if (window->isMinimized())
        window->showNormal();
    Area->setActiveSubWindow(window);
    return true;
}

int TWindowCommands::ChildCount() const {
    return static_cast<int>(OpenWindows(Area).size());
}

QList<QRect> TWindowCommands::CascadeFrames(const QList<QSize>& sizes, const QSize& area, int step) {
    QList<QRect> frames;
    const int width = std::max(1, area.width());
    const int height = std::max(1, area.height());
    const QSize least(std::max(1, width / 2), std::max(1, height / 2));
    step = std::max(1, step);
    const int places = std::min(width - least.width(), height - least.height()) / step + 1;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        const int offset = static_cast<int>(i % places) * step;
        const QSize size = sizes[i].expandedTo(least).boundedTo(QSize(width - offset, height - offset));
        frames.append(QRect(QPoint(offset, offset), size));
    }
    return frames;
}

QList<QRect> TWindowCommands::TileFrames(int count, const QSize& area) {
    QList<QRect> frames;
    if (count <= 0)
        return frames;
    const int width = std::max(1, area.width());
    const int height = std::max(1, area.height());
    // Too many windows for the area to give each a usable frame: rather than shrinking every
    // window until none can be worked in (and having that size stored as its own when it
    // closes), the windows keep a usable size and the ones beyond the places overlap the
    // first ones, as cascaded windows do. Each is still reached through the Window menu's
    // list, and the active one is brought to the top.
    const int fitColumns = std::max(1, width / TileLeast.width());
    const int fitRows = std::max(1, height / TileLeast.height());
    const int wanted = count <= 3 ? count : static_cast<int>(std::ceil(std::sqrt(double(count))));
    const int columns = std::min(wanted, fitColumns);
    const int places = std::min(count, columns * fitRows);
    int placed = 0;
    for (int column = 0; column < columns; ++column) {
        // The rows left over go to the last columns.
        const int rows = (places - placed) / (columns - column);
        const int left = width * column / columns;
        const int right = width * (column + 1) / columns;
        for (int row = 0; row < rows; ++row) {
            const int top = height * row / rows;
            const int bottom = height * (row + 1) / rows;
            frames.append(QRect(left, top, std::max(1, right - left), std::max(1, bottom - top)));
        }
        placed += rows;
    }
    for (int i = places; i < count; ++i) {
        const QRect shared = frames[i % places];
        frames.append(shared);
    }
    return frames;
}
