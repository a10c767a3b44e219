#pragma once

#include "controls/buttons/ButtonGeometry.h"
#include "controls/buttons/ModalResult.h"
#include "controls/buttons/RxButtonGlyph.h"
#include "controls/buttons/SpeedButtonRules.h"

#include <QAction>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QToolButton>

#include <functional>

// A small push button with a glyph and a caption, painted in its own look:
// - Groups: buttons of one parent with the same non-zero GroupIndex work like radio buttons that
//   stay down; Down tells which one is down. With AllowAllUp (shared by the whole group) the
//   down button comes up when clicked again; without it the group always keeps one down once one
//   went down.
// - Flat: no frame until the mouse is over the button (while the program is active); the glyph
//   is grey meanwhile unless GrayedInactive is off.
// - A drop-down menu pops up when the button is pressed, at the position MenuPosition names,
//   with a small down-pointing mark beside the content unless MarkDropDown is off.
// - Transparent: the parent shows through instead of the button face.
// - Layout, Margin and Spacing place glyph and caption (see TButtonGeometry).
// - ModalResult: a click ends the button's dialog with that result once the click handler has
//   run, unless the handler fails or sets the dialog's result back to mrNone.
// - AllowTimer: a held button clicks every RepeatInterval after InitPause, and once more on
//   release. A click handler that fails is reported and ends the repeat.
// - Action: a linked action gives the button its caption, hint, enabled and visible state; its
//   Checked gives Down (for a group button, as the group's rules allow); while the button has no
//   glyph of its own the action's icon is the glyph, drawn on fuchsia (the transparent colour).
//   A click triggers the action unless the button has an OnClick of its own.
// - WordWrap breaks a caption too wide for the face into lines instead of shortening it with
//   "..."; Alignment places the caption's lines flush left, flush right or centred (the default).
// The button never takes the keyboard focus; an accelerator of its caption clicks it.
class TRxSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TRxSpeedButton(QWidget* parent = nullptr);

    // Group behaviour.
    int GroupIndex() const { return Group; }
    void SetGroupIndex(int groupIndex);
    bool Down() const { return Group != 0 && isChecked(); }
    void SetDown(bool down);
    bool AllowAllUp() const { return AllowAllUpFlag; }
    void SetAllowAllUp(bool allowAllUp);

    // The glyph strip; NumGlyphs follows its size when the size tells it. A null strip leaves
    // the button without a glyph of its own (a linked action's icon shows then).
    void SetGlyph(const QPixmap& strip);
    QPixmap Glyph() const { return ButtonGlyph.Glyph(); }
    int NumGlyphs() const { return ButtonGlyph.NumGlyphs(); }
    void SetNumGlyphs(int numGlyphs);
    QColor GlyphTransparentColor() const { return ButtonGlyph.TransparentColor(); }
    void SetGlyphTransparentColor(const QColor& color);

    // The linked action (forgotten when the action goes); nullptr unlinks.
    QAction* Action() const { return LinkedAction; }
    void SetAction(QAction* action);
    // Whether the glyph shown is the linked action's icon rather than the button's own.
    bool GlyphFromAction() const { return ActionGlyph; }

    // The caption.
    bool WordWrap() const { return ButtonGlyph.WordWrap(); }
    void SetWordWrap(bool wordWrap);
    TAlignment Alignment() const { return ButtonGlyph.Alignment(); }
    void SetAlignment(TAlignment alignment);

    // The look.
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool flat);
    TButtonStyle Style() const { return ButtonStyle; }
    void SetStyle(TButtonStyle style);
    bool GrayedInactive() const { return GrayedInactiveFlag; }
    void SetGrayedInactive(bool grayedInactive);
    bool Transparent() const { return TransparentFlag; }
    void SetTransparent(bool transparent);

    // Placement of glyph and caption; Margin and Spacing below -1 are refused.
    TButtonLayout Layout() const { return ButtonLayout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return MarginValue; }
    void SetMargin(int margin);
    int Spacing() const { return SpacingValue; }
    void SetSpacing(int spacing);

    // The drop-down menu (forgotten when the menu goes) and where it pops up.
    QMenu* DropDownMenu() const { return Menu; }
    void SetDropDownMenu(QMenu* menu);
    TDropDownMenuPos MenuPosition() const { return MenuPos; }
    void SetMenuPosition(TDropDownMenuPos position) { MenuPos = position; }
    TPopupAlignment MenuAlignment() const { return MenuAlign; }
    void SetMenuAlignment(TPopupAlignment alignment) { MenuAlign = alignment; }
    bool MarkDropDown() const { return MarkDropDownFlag; }
    void SetMarkDropDown(bool markDropDown);

    TModalResult ModalResult() const { return Result; }
    void SetModalResult(TModalResult result) { Result = result; }

    bool AllowTimer() const { return autoRepeat(); }
    void SetAllowTimer(bool allowTimer) { setAutoRepeat(allowTimer); }
    int InitPause() const { return autoRepeatDelay(); }
    void SetInitPause(int milliseconds) { setAutoRepeatDelay(milliseconds); }
    int RepeatInterval() const { return autoRepeatInterval(); }
    void SetRepeatInterval(int milliseconds) { setAutoRepeatInterval(milliseconds); }

    // Whether the button lights up as being under the mouse.
    bool MouseInControl() const { return MouseInside; }
    // The state the button is in and the one it paints.
    TButtonState State() const;
    TButtonState PaintState() const;
    // Where the parts of the face are painted now.
    TButtonContent Content() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Runs on every click, the repeated ones included.
    std::function<void()> OnClick;
    // A double click on a down button.
    std::function<void()> OnDblClick;
    // The button lit up under the mouse (enabled, and the program active) and went dark again;
    // the two come in pairs.
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Click();
    void PopupMenu();
    // Tells the other buttons of the group that this one changed.
    void NotifyGroup();
    // Another button of the group changed: this one comes up when both are down, and takes the
    // group's AllowAllUp.
    void GroupChanged(const TRxSpeedButton& sender);
    // Lights the button up or down and tells OnMouseEnter / OnMouseLeave.
    void SetMouseInControl(bool inside);
    // Looks again whether the mouse is over the button.
    void UpdateTracking();
    // The face inside the frame, before the down offset.
    QRect ContentRect(TButtonState paintState) const;
    QSize GlyphSize() const;
    // The caption as drawn in a room of widthLimit (shortened, or whole when it wraps) and the
    // size of its block.
    QString CaptionFor(int widthLimit) const;
    QSize CaptionSize(const QString& caption, int widthLimit) const;
    // Glyph, caption and mark, with the caption as drawn.
    TButtonContent Place(QString* caption) const;
    // Takes the linked action's caption, hint, enabled and visible state, and its icon while the
    // button has no glyph of its own.
    void ActionChanged();
    // Down of a group button := the linked action's Checked, whatever the group would allow a
    // click: a button down beside an unchecked action would say the opposite of its menu item.
    void FollowActionChecked(bool checked);
    void TakeActionImage();

    QPointer<QMenu> Menu;
    QPointer<QAction> LinkedAction;
    QMetaObject::Connection ActionChangedLink;
    QMetaObject::Connection ActionToggledLink;
    QMetaObject::Connection ActionGoneLink;
    bool ActionGlyph = false;
    qint64 ActionIconKey = 0;
    TRxButtonGlyph ButtonGlyph;
    int Group = 0;
    bool AllowAllUpFlag = false;
    TButtonStyle ButtonStyle = TButtonStyle::bsAutoDetect;
    TButtonLayout ButtonLayout = TButtonLayout::blGlyphTop;
    int MarginValue = -1;
    int SpacingValue = 1;
    bool GrayedInactiveFlag = true;
    bool TransparentFlag = false;
    bool MarkDropDownFlag = true;
    TDropDownMenuPos MenuPos = TDropDownMenuPos::dmpBottom;
    TPopupAlignment MenuAlign = TPopupAlignment::paLeft;
    TModalResult Result = mrNone;
    bool MouseInside = false;
    bool MenuTracking = false;
    // The press that closed this button's menu is not taken as a new press.
    bool SwallowPress = false;
};
