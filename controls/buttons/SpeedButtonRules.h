#pragma once

#include <QList>
#include <QPalette>
#include <QPoint>

// The look a speed button is in. Up, disabled, down (held inside) and exclusive (down in its
// group) follow the button; inactive is how a flat button looks while the mouse is elsewhere.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
// The frame: the older heavy look, the newer light one, or whichever the system uses (the newer).
enum class TButtonStyle { bsAutoDetect, bsOld, bsNew };

// One one-pixel ring of a frame: its top and left edges in one colour, its bottom and right
// edges in another. NoRole leaves those edges undrawn.
struct TFrameStep {
    QPalette::ColorRole TopLeft;
    QPalette::ColorRole BottomRight;
    bool operator==(const TFrameStep&) const = default;
};

// The state and painting rules of a speed button, with no widget.
//
// Groups: buttons of one parent with the same non-zero group index form a group in which at most
// one is down. A button outside a group is never down. A down button comes up when another
// of its group goes down, or when it is clicked or set up while the group allows all up.
class TSpeedButtonRules {
public:
    // The button's state: disabled when the control is; otherwise exclusive when it is down in
    // its group, down while it is held with the pointer inside, and up.
    static TButtonState State(bool enabled, bool pressed, bool down);
    // The state painted: a flat button with the mouse elsewhere paints inactive, unless it is
    // disabled or exclusive (an exclusive button always shows its frame).
    static TButtonState PaintState(TButtonState state, bool flat, bool mouseInControl);
    // The state whose glyph image is drawn: the painted one, except that a button that does not
    // grey when inactive shows its own state's image.
    static TButtonState GlyphState(TButtonState state, TButtonState paintState, bool grayedInactive);

    // Whether the frame is drawn (not for an inactive flat button, which is inset by
    // InactiveInset instead) and whether it is sunken.
    static bool HasFrame(TButtonState paintState) { return paintState != TButtonState::bsInactive; }
    static bool Sunken(TButtonState state);
    static constexpr int InactiveInset = 2;
    // Whether the newer look is used.
    static bool UsesNewLook(TButtonStyle style) { return style != TButtonStyle::bsOld; }
    // The frame rings from the outside in; the content shrinks by one more pixel after them.
    static QList<TFrameStep> FrameSteps(bool newLook, bool flat, bool sunken);
    // Whether an exclusive face is filled with the dither of button face and highlight: not on a
    // transparent button, nor on a flat one under the mouse.
    static bool Dithered(TButtonState state, bool transparent, bool flat, bool mouseInControl);
    // How far the content moves while the button is down or exclusive.
    static QPoint ContentOffset(TButtonState state);

    // Whether a button is down after Down was set to Requested: never outside a group, and a
    // down button stays down unless the group allows all up.
    static bool AcceptedDown(int groupIndex, bool down, bool requested, bool allowAllUp);
    // Whether a group button is down after a click: an up button goes down, a down one comes up
    // only when the group allows all up.
    static bool DownAfterClick(bool down, bool allowAllUp) { return !down || !allowAllUp; }
    // Whether two buttons of one parent are in the same group.
    static bool SameGroup(int groupIndex, int otherGroupIndex) {
        return groupIndex != 0 && groupIndex == otherGroupIndex;
    }
};
