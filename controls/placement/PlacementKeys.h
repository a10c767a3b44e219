#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class TIniFile;

// A window's placement as it is kept in an ini section, without any widget: the show command,
// the minimized and maximized positions and the normal bounds, plus the rules that turn it into
// keys and back. The window side (TFormPlacement) reads the record from a widget and applies it.
//
// Keys of one section, all written as ini strings:
//   Flags            1 when a minimized child window's minimized position is set, else 0
//   ShowCmd          1 normal, 2 minimized, 3 maximized
//   PixelsPerInch    the screen's logical dots per inch at the time of saving
//   MinMaxPos(WxH)   "minX,minY,maxX,maxY" under the screen resolution, then under MinMaxPos
//   NormPos(WxH)     "left,top,right,bottom" (right and bottom exclusive), then under NormPos
//   ActiveControl    the object name of the focused control (only with that option)
//   Visible          1 only when the save happens while the window is being destroyed
//   FormVersion      the layout version of the window

enum class TWindowShowState { Normal, Minimized, Maximized };

// Show commands as stored.
namespace ShowCmd {
constexpr int Hide = 0;
constexpr int Normal = 1;
constexpr int Minimized = 2;
constexpr int Maximized = 3;
} // namespace ShowCmd

// The flag that marks a minimized child window's position as set.
constexpr int PlacementFlagSetMinPosition = 1;

struct TPlacementRecord {
    int Flags = 0;
    int ShowCmd = ShowCmd::Normal;
    QPoint MinPosition;
    QPoint MaxPosition;
    // The bounds in the normal state; stored as left, top, left + width, top + height.
    QRect NormalBounds;
    bool operator==(const TPlacementRecord&) const = default;
};

// What the window's screen looks like now.
struct TScreenMetrics {
    QSize Resolution;
    int PixelsPerInch = 96;
};

// How a read is to be applied, and to what.
struct TPlacementReadRequest {
    bool LoadState = false;
    bool LoadPosition = false;
    // A window whose border lets the user resize it; any other keeps its own width and height.
    bool Sizeable = true;
    // The state a window gets when the section holds no usable show command.
    TWindowShowState DefaultState = TWindowShowState::Normal;
};

struct TPlacementReadResult {
    // The record to apply; only meaningful when PositionFound.
    TPlacementRecord Record;
    // The section held a position, read under the current pixels per inch, with a positive width.
    bool PositionFound = false;
    // The state to give the window; only meaningful when LoadState was asked.
    TWindowShowState State = TWindowShowState::Normal;
};

namespace Placement {

// The suffix of resolution-specific keys: "(1024x768)".
QString ResolutionSuffix(const QSize& resolution);

// Strings and integers of a section. A string that both begins and ends with '"', or both begins
// and ends with '\'', is written inside one more pair of double quotes, so that the ini's removal
// of one pair on reading gives the value back.
QString IniReadString(const TIniFile& ini, const QString& section, const QString& ident,
                      const QString& defaultValue);
void IniWriteString(TIniFile& ini, const QString& section, const QString& ident, const QString& value);
int IniReadInteger(const TIniFile& ini, const QString& section, const QString& ident, int defaultValue);
void IniWriteInteger(TIniFile& ini, const QString& section, const QString& ident, int value);

// The value under the resolution-specific key; when that is empty, the value under the plain key.
QString ReadPosStr(const TIniFile& ini, const QString& section, const QString& ident,
                   const QSize& resolution);
// Writes the resolution-specific key, then the plain key.
void WritePosStr(TIniFile& ini, const QString& section, const QString& ident, const QString& value,
                 const QSize& resolution);

// The word (1-based) of a text whose words are separated by runs of commas and blanks, read as
// a decimal integer; the fallback when the word is missing or not a number.
int WordAsInteger(const QString& text, int index, int fallback);

// Maps a stored show command to a state: 1, 5, 9 normal; 2, 6, 7 minimized; 3 maximized; any
// other value gives the fallback.
TWindowShowState StateOfShowCmd(int showCmd, TWindowShowState fallback);
int ShowCmdOfState(TWindowShowState state);

// Writes Flags, ShowCmd, PixelsPerInch, MinMaxPos and NormPos.
void WriteFormPlacement(TIniFile& ini, const QString& section, const TPlacementRecord& record,
                    const TScreenMetrics& screen);

// Reads a placement over the window's current one. Missing words of the positions fall back word
// by word (0 for the minimized and maximized positions, the current bounds for the normal ones);
// a section written under other pixels per inch, or with right not past left, gives no position.
TPlacementReadResult ReadFormPlacement(const TIniFile& ini, const QString& section,
                                   const TPlacementRecord& current, const TScreenMetrics& screen,
                                   const TPlacementReadRequest& request);

// A window rectangle moved so that it shows on one of the areas: unchanged when it overlaps any
// of them; otherwise moved onto the nearest area (the first of equally near ones), keeping its
// size, pushed in from the right edge, then the left, then the bottom, then the top, so that a
// window larger than the area shows its top-left corner. Unchanged when there are no areas.
QRect PullOntoScreens(const QRect& window, const QList<QRect>& areas);

// A child window's rectangle made to lie wholly inside its frame's area: first shrunk to the
// area's width and height where it is larger, then moved in from the right and bottom edges and
// the left and top ones. Unchanged when the area is empty (a frame not laid out yet).
QRect FitInsideArea(const QRect& window, const QRect& area);

// Who a placement belongs to, for naming its default section.
struct TSectionOwner {
    bool IsWindow = true;
    QString ClassName;       // the owner's class name
    QString Name;            // the owner's object name
    QString WindowClassName; // for a control: the class name of its window, if it has one
    QString ParentName;      // for a control without a window: its parent's name
};

// The section a placement uses when none is set: a window's class name; for a control, the class
// name of its window followed by the control's name, or, without a window, its parent's name
// followed by its name.
QString GetDefaultSection(const TSectionOwner& owner);

// The ini file name used when none is set: the program file's base name with ".INI".
QString GetDefaultIniName(const QString& programFilePath);

// The path an ini name stands for. The program ini's own name stands for the program ini itself
// (TProgramParams::IniPath); any other bare name lives beside it; a name with a folder is used
// as it is.
QString ResolveIniPath(const QString& iniName);

} // namespace Placement
