#pragma once

#include "controls/placement/PlacementKeys.h"

#include <QFlags>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QWidget;
class TIniFile;

enum class TPlacementOption { State = 0x1, Position = 0x2, ActiveControl = 0x4 };
Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TPlacementOptions)

// Limits on a window's size; 0 means not set. The tracking sizes become the window's minimum and
// maximum sizes. The maximized size and position have no meaning under a window system that
// maximizes windows itself, and are only kept.
struct TWinMinMaxInfo {
    int MaxPosLeft = 0;
    int MaxPosTop = 0;
    int MaxSizeHeight = 0;
    int MaxSizeWidth = 0;
    int MaxTrackHeight = 0;
    int MaxTrackWidth = 0;
    int MinTrackHeight = 0;
    int MinTrackWidth = 0;
    bool IsDefault() const { return *this == TWinMinMaxInfo(); }
    bool operator==(const TWinMinMaxInfo&) const = default;
};

// Keeps a window's position, size and state in a section of an ini file between runs. Given to a
// window (its owner, a top-level widget or an MDI child); with Active false the window calls
// RestoreFormPlacement when it is set up and SaveFormPlacement when it closes, and handlers of
// OnSavePlacement / OnRestorePlacement add keys of their own through WriteInteger / ReadInteger,
// which then use the storage that is already open. With Active true the placement is restored
// when the owner is shown and saved when it closes or, not saved yet, is destroyed.
//
// A bare ini name lives beside the program ini ("Quilvane.ini" is the program ini itself). A
// restored position that lies off every screen is moved back onto the nearest one; an MDI child
// is moved, and shrunk if need be, to lie wholly inside its area.
class TFormPlacement : public QObject {
    Q_OBJECT
public:
    explicit TFormPlacement(QWidget* owner);
    ~TFormPlacement() override;

    bool Active() const { return IsActive; }
    void SetActive(bool active) { IsActive = active; }
    // Empty gives Placement::GetDefaultIniName of the program file.
    QString IniFileName() const { return IniName; }
    void SetIniFileName(const QString& name) { IniName = name; }
    // Empty gives the owner's default section.
    QString IniSection() const;
    void SetIniSection(const QString& section) { Section = section; }
    TPlacementOptions Options() const { return PlacementOptions; }
    void SetOptions(TPlacementOptions options) { PlacementOptions = options; }
    int Version() const { return LayoutVersion; }
    void SetVersion(int version) { LayoutVersion = version; }
    bool PreventResize() const { return IsResizePrevented; }
    void SetPreventResize(bool prevent);
    const TWinMinMaxInfo& MinMaxInfo() const { return Limits; }
    void SetMinMaxInfo(const TWinMinMaxInfo& info);

    // Writes "FormVersion" and the placement when it was restored before or Active is false.
    void SaveFormPlacement();
    // Applies the stored placement when the stored "FormVersion" is at least Version; marks the
    // placement restored in every case.
    void RestoreFormPlacement();
    // The same for callers that must go on whatever happens (a closing window, the event loop):
    // a placement that cannot be written or read loses only positions.
    void SaveFormPlacementQuietly() noexcept;
    void RestoreFormPlacementQuietly() noexcept;
    bool Restored() const { return IsRestored; }
    bool Saved() const { return IsSaved; }

    // The window state that a window whose options hold the position only keeps beside it
    // (0 normal, 1 minimised, 2 maximised). Write it from the placed window's state inside
    // OnSavePlacement; RestoreWindowState, inside OnRestorePlacement, gives it back to the
    // window's MDI frame (a window in no frame, such as a dialog, keeps the state it has).
    static inline const QString WindowStateKey = QStringLiteral("WindowState");
    void WriteWindowState();
    void RestoreWindowState();
    // Makes every save and restore of the placement also write and restore that window state.
    void KeepWindowState();

    int ReadInteger(const QString& ident, int defaultValue);
    void WriteInteger(const QString& ident, int value);
    QString DoReadString(const QString& section, const QString& ident, const QString& defaultValue);
    void DoWriteString(const QString& section, const QString& ident, const QString& value);

    // The owner's placement now, and the screen it is on.
    static TPlacementRecord RecordOf(const QWidget* window);
    static TScreenMetrics ScreenOf(const QWidget* window);
    // Applies a record's normal bounds, moved onto a screen (or fitted into the MDI area) if need be.
    static void ApplyBounds(QWidget* window, const QRect& bounds);

signals:
    void OnSavePlacement();
    void OnRestorePlacement();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The open storage for the duration of a save, restore or single read or write.
    class TStorageScope;

    void SavePlacement();
    void RestorePlacement();
    void ApplyLimits();
    QString IniPath() const;

    QPointer<QWidget> Owner;
    bool IsActive = true;
    QString IniName;
    QString Section;
    mutable QString DefaultSectionName;
    TPlacementOptions PlacementOptions = TPlacementOption::State | TPlacementOption::Position;
    int LayoutVersion = 0;
    bool IsResizePrevented = false;
    TWinMinMaxInfo Limits;
    bool IsSaved = false;
    bool IsRestored = false;
    bool IsDestroying = false;
    std::unique_ptr<TIniFile> Storage;
};
