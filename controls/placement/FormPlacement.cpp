#include "controls/placement/FormPlacement.h"

#include "core/io/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

const QString FormVersionKey = QStringLiteral("FormVersion");
const QString ActiveControlKey = QStringLiteral("ActiveControl");
const QString VisibleKey = QStringLiteral("Visible");

// The window states as a placement section keeps them under TFormPlacement::WindowStateKey.
enum TStoredWindowState { swNormal = 0, swMinimised = 1, swMaximised = 2 };

// The window whose frame is placed: the MDI sub-window around a form shown in one, else the
// widget itself.
QWidget* PlacedWindow(QWidget* owner) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(owner->parentWidget()))
        return sub;
    return owner;
}

const QWidget* PlacedWindow(const QWidget* owner) {
    return PlacedWindow(const_cast<QWidget*>(owner));
}

bool IsMdiChild(const QWidget* placed) {
    return qobject_cast<const QMdiSubWindow*>(placed) != nullptr;
}

TWindowShowState StateOf(const QWidget* placed) {
    const Qt::WindowStates states = placed->windowState();
    if (states.testFlag(Qt::WindowMinimized))
        return TWindowShowState::Minimized;
    if (states.testFlag(Qt::WindowMaximized))
        return TWindowShowState::Maximized;
    return TWindowShowState::Normal;
}

// The bounds of a window in its normal state. An MDI child keeps the bounds it had before it was
// minimized or maximized as the property below, recorded while it was normal.
const char* const NormalBoundsProperty = "quilvaneNormalBounds";

QRect NormalBoundsOf(const QWidget* placed) {
    if (IsMdiChild(placed)) {
        const QVariant known = placed->property(NormalBoundsProperty);
        if (StateOf(placed) != TWindowShowState::Normal && known.isValid())
            return known.toRect();
        return placed->geometry();
    }
    return placed->isWindow() ? placed->normalGeometry() : placed->geometry();
}

// Follows an MDI child's bounds while it is normal.
void RememberNormalBounds(QWidget* placed) {
    if (IsMdiChild(placed) && StateOf(placed) == TWindowShowState::Normal)
        placed->setProperty(NormalBoundsProperty, placed->geometry());
}

void SetState(QWidget* placed, TWindowShowState state) {
    if (placed->isVisible()) {
        switch (state) {
        case TWindowShowState::Minimized:
            placed->showMinimized();
            break;
        case TWindowShowState::Maximized:
            placed->showMaximized();
            break;
        case TWindowShowState::Normal:
            placed->showNormal();
            break;
        }
        return;
    }
    Qt::WindowStates states = placed->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == TWindowShowState::Minimized)
        states |= Qt::WindowMinimized;
    else if (state == TWindowShowState::Maximized)
        states |= Qt::WindowMaximized;
    placed->setWindowState(states);
}

} // namespace

// Opens the storage unless it is open already (a read or write inside a save or restore), and
// frees it again at the end of the scope when it opened it. Commit writes what changed.
class TFormPlacement::TStorageScope {
public:
    explicit TStorageScope(TFormPlacement& placement) : Placement(placement) {
        if (Placement.Storage)
            return;
        Owns = true;
        Placement.Storage = std::make_unique<TIniFile>(Placement.IniPath());
        Placement.Storage->SetStripQuotes(true);
    }
    ~TStorageScope() {
        if (Owns)
            Placement.Storage.reset();
    }
    TStorageScope(const TStorageScope&) = delete;
    TStorageScope& operator=(const TStorageScope&) = delete;

    TIniFile& Ini() { return *Placement.Storage; }
    void Commit() {
        if (!Owns || !Placement.Storage->Modified())
            return;
        QDir().mkpath(QFileInfo(Placement.Storage->FileName()).absolutePath());
        Placement.Storage->UpdateFile();
    }

private:
    TFormPlacement& Placement;
    bool Owns = false;
};

TFormPlacement::TFormPlacement(QWidget* owner) : QObject(owner), Owner(owner) {
    owner->installEventFilter(this);
    QWidget* placed = PlacedWindow(owner);
    if (placed != owner)
        placed->installEventFilter(this);
    RememberNormalBounds(placed);
}

TFormPlacement::~TFormPlacement() {
    // The owner is being destroyed: nothing may escape, and a failed save loses only positions.
    IsDestroying = true;
    if (!IsActive || IsSaved || !Owner || IniSection().isEmpty())
        return;
    SaveFormPlacementQuietly();
}

void TFormPlacement::SaveFormPlacementQuietly() noexcept {
    try {
        SaveFormPlacement();
    } catch (...) {
    }
}

void TFormPlacement::RestoreFormPlacementQuietly() noexcept {
    try {
        RestoreFormPlacement();
    } catch (...) {
    }
}

QString TFormPlacement::IniSection() const {
    if (!Section.isEmpty() || !Owner)
        return Section;
    // Named once: while the owner is being destroyed its class is no longer its own.
    if (!DefaultSectionName.isEmpty() || IsDestroying)
        return DefaultSectionName;
    Placement::TSectionOwner owner;
    owner.IsWindow = Owner->isWindow() || IsMdiChild(PlacedWindow(Owner.data()));
    owner.ClassName = QString::fromLatin1(Owner->metaObject()->className());
    owner.Name = Owner->objectName();
    if (!owner.IsWindow) {
        owner.WindowClassName = QString::fromLatin1(Owner->window()->metaObject()->className());
        if (Owner->parentWidget())
            owner.ParentName = Owner->parentWidget()->objectName();
    }
    DefaultSectionName = Placement::GetDefaultSection(owner);
    return DefaultSectionName;
}

QString TFormPlacement::IniPath() const {
    const QString name =
        IniName.isEmpty() ? Placement::GetDefaultIniName(QCoreApplication::applicationFilePath()) : IniName;
    return Placement::ResolveIniPath(name);
}

void TFormPlacement::SetPreventResize(bool prevent) {
    IsResizePrevented = prevent;
    ApplyLimits();
}

void TFormPlacement::SetMinMaxInfo(const TWinMinMaxInfo& info) {
    Limits = info;
    ApplyLimits();
}

void TFormPlacement::ApplyLimits() {
    if (!Owner)
        return;
    QWidget* placed = PlacedWindow(Owner.data());
    if (IsResizePrevented) {
        placed->setFixedSize(placed->size());
        return;
    }
    placed->setMinimumSize(Limits.MinTrackWidth, Limits.MinTrackHeight);
    placed->setMaximumSize(Limits.MaxTrackWidth > 0 ? Limits.MaxTrackWidth : QWIDGETSIZE_MAX,
                           Limits.MaxTrackHeight > 0 ? Limits.MaxTrackHeight : QWIDGETSIZE_MAX);
}

void TFormPlacement::SaveFormPlacement() {
    if (!IsRestored && IsActive)
        return;
    TStorageScope scope(*this);
    WriteInteger(FormVersionKey, LayoutVersion);
    SavePlacement();
    emit OnSavePlacement();
    IsSaved = true;
    scope.Commit();
}

void TFormPlacement::RestoreFormPlacement() {
    IsSaved = false;
    TStorageScope scope(*this);
    if (ReadInteger(FormVersionKey, 0) >= LayoutVersion) {
        RestorePlacement();
        IsRestored = true;
        emit OnRestorePlacement();
        if (PlacementOptions.testFlag(TPlacementOption::ActiveControl) && Owner) {
            const QString name = DoReadString(IniSection(), ActiveControlKey, QString());
            QWidget* control = name.isEmpty() ? nullptr : Owner->findChild<QWidget*>(name);
            if (control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
                control->setFocus();
        }
    }
    IsRestored = true;
    scope.Commit();
}

void TFormPlacement::SavePlacement() {
    if (!Owner)
        return;
    TIniFile& ini = *Storage;
    const QString section = IniSection();
    Placement::WriteFormPlacement(ini, section, RecordOf(Owner.data()), ScreenOf(Owner.data()));
    if (PlacementOptions.testFlag(TPlacementOption::ActiveControl)) {
        const QWidget* focused = Owner->focusWidget();
        if (focused && !focused->objectName().isEmpty())
            Placement::IniWriteString(ini, section, ActiveControlKey, focused->objectName());
    }
    ini.WriteBool(section, VisibleKey, IsDestroying);
}

void TFormPlacement::RestorePlacement() {
    if (!Owner)
        return;
    QWidget* placed = PlacedWindow(Owner.data());
    TPlacementReadRequest request;
    request.LoadState = PlacementOptions.testFlag(TPlacementOption::State);
    request.LoadPosition = PlacementOptions.testFlag(TPlacementOption::Position);
    if (!request.LoadState && !request.LoadPosition)
        return;
    const bool fixed = placed->minimumSize() == placed->maximumSize() ||
                       placed->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
    request.Sizeable = !fixed;
    // A main window holding an MDI area comes up maximized the first time.
    const auto* mainWindow = qobject_cast<const QMainWindow*>(placed);
    if (placed->isWindow() && mainWindow && qobject_cast<const QMdiArea*>(mainWindow->centralWidget()))
        request.DefaultState = TWindowShowState::Maximized;
    const TPlacementReadResult read = Placement::ReadFormPlacement(*Storage, IniSection(), RecordOf(Owner.data()),
                                                               ScreenOf(Owner.data()), request);
    // A stored place too small to show the window's contents (a window once shrunk to its
    // title bar) is not taken: the window stays where and as large as it was made.
    const QSize needed = placed->minimumSizeHint().expandedTo(placed->minimumSize());
    const QSize stored = read.Record.NormalBounds.size();
    const bool usable =
        !request.Sizeable || (stored.width() >= needed.width() && stored.height() >= needed.height());
    if (read.PositionFound && usable)
        ApplyBounds(Owner.data(), read.Record.NormalBounds);
    if (request.LoadState)
        SetState(placed, read.State);
    placed->update();
}

void TFormPlacement::WriteWindowState() {
    if (!Owner)
        return;
    const TWindowShowState state = StateOf(PlacedWindow(Owner.data()));
    WriteInteger(WindowStateKey, state == TWindowShowState::Minimized   ? swMinimised
                                 : state == TWindowShowState::Maximized ? swMaximised
                                                                        : swNormal);
}

void TFormPlacement::RestoreWindowState() {
    auto* frame = Owner ? qobject_cast<QMdiSubWindow*>(PlacedWindow(Owner.data())) : nullptr;
    if (!frame)
        return;
    const int state = ReadInteger(WindowStateKey, swNormal);
    if (state == swMinimised)
        frame->showMinimized();
    else if (state == swMaximised)
        frame->showMaximized();
}

void TFormPlacement::KeepWindowState() {
    connect(this, &TFormPlacement::OnSavePlacement, this, &TFormPlacement::WriteWindowState);
    connect(this, &TFormPlacement::OnRestorePlacement, this, &TFormPlacement::RestoreWindowState);
}

int TFormPlacement::ReadInteger(const QString& ident, int defaultValue) {
    TStorageScope scope(*this);
    return Placement::IniReadInteger(scope.Ini(), IniSection(), ident, defaultValue);
}

void TFormPlacement::WriteInteger(const QString& ident, int value) {
    TStorageScope scope(*this);
    Placement::IniWriteInteger(scope.Ini(), IniSection(), ident, value);
    scope.Commit();
}

QString TFormPlacement::DoReadString(const QString& section, const QString& ident,
                                     const QString& defaultValue) {
    TStorageScope scope(*this);
    return Placement::IniReadString(scope.Ini(), section, ident, defaultValue);
}

void TFormPlacement::DoWriteString(const QString& section, const QString& ident, const QString& value) {
    TStorageScope scope(*this);
    Placement::IniWriteString(scope.Ini(), section, ident, value);
    scope.Commit();
}

TPlacementRecord TFormPlacement::RecordOf(const QWidget* window) {
    const QWidget* placed = PlacedWindow(window);
    TPlacementRecord record;
    const TWindowShowState state = StateOf(placed);
    record.ShowCmd = Placement::ShowCmdOfState(state);
    record.NormalBounds = NormalBoundsOf(placed);
    if (IsMdiChild(placed) && state == TWindowShowState::Minimized) {
        record.Flags = PlacementFlagSetMinPosition;
        record.MinPosition = placed->geometry().topLeft();
    }
    return record;
}

TScreenMetrics TFormPlacement::ScreenOf(const QWidget* window) {
    TScreenMetrics metrics;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        metrics.Resolution = screen->geometry().size();
        metrics.PixelsPerInch = int(std::lround(screen->logicalDotsPerInch()));
    }
    return metrics;
}

void TFormPlacement::ApplyBounds(QWidget* window, const QRect& bounds) {
    QWidget* placed = PlacedWindow(window);
    QRect target = bounds;
    if (IsMdiChild(placed) && placed->parentWidget()) {
        // A child lies wholly inside its frame, its close box in reach.
        target = Placement::FitInsideArea(bounds, QRect(QPoint(0, 0), placed->parentWidget()->size()));
    } else if (placed->isWindow()) {
        QList<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens())
            areas.append(screen->availableGeometry());
        target = Placement::PullOntoScreens(bounds, areas);
    }
    const TWindowShowState state = StateOf(placed);
    if (state != TWindowShowState::Normal && placed->isVisible())
        placed->showNormal();
    placed->setGeometry(target);
    if (IsMdiChild(placed))
        placed->setProperty(NormalBoundsProperty, target);
    if (state != TWindowShowState::Normal && placed->isVisible())
        SetState(placed, state);
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Owner && event->type() == QEvent::ParentChange) {
        QWidget* placed = PlacedWindow(Owner.data());
        if (placed != Owner)
            placed->installEventFilter(this);
        RememberNormalBounds(placed);
    }
    if (Owner && watched == PlacedWindow(Owner.data()) &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        RememberNormalBounds(static_cast<QWidget*>(watched));
    if (watched == Owner && IsActive) {
        if (event->type() == QEvent::Show)
            RestoreFormPlacementQuietly();
        else if (event->type() == QEvent::Close)
            SaveFormPlacementQuietly();
    }
    return QObject::eventFilter(watched, event);
}
