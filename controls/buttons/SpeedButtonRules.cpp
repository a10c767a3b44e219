#include "controls/buttons/SpeedButtonRules.h"

namespace {

// The system colours of a frame in palette terms.
constexpr QPalette::ColorRole Highlight = QPalette::Light;
constexpr QPalette::ColorRole Shadow = QPalette::Dark;
constexpr QPalette::ColorRole WindowFrame = QPalette::Shadow;
constexpr QPalette::ColorRole Face = QPalette::Button;
constexpr QPalette::ColorRole None = QPalette::NoRole;

} // namespace

TButtonState TSpeedButtonRules::State(bool enabled, bool pressed, bool down) {
    if (!enabled)
        return TButtonState::bsDisabled;
    if (down)
        return TButtonState::bsExclusive;
    return pressed ? TButtonState::bsDown : TButtonState::bsUp;
}

TButtonState TSpeedButtonRules::PaintState(TButtonState state, bool flat, bool mouseInControl) {
    if (!flat || mouseInControl || state == TButtonState::bsDisabled || state == TButtonState::bsExclusive)
        return state;
    return TButtonState::bsInactive;
}

TButtonState TSpeedButtonRules::GlyphState(TButtonState state, TButtonState paintState, bool grayedInactive) {
    return paintState == TButtonState::bsInactive && !grayedInactive ? state : paintState;
}

bool TSpeedButtonRules::Sunken(TButtonState state) {
    return state == TButtonState::bsDown || state == TButtonState::bsExclusive;
}

QList<TFrameStep> TSpeedButtonRules::FrameSteps(bool newLook, bool flat, bool sunken) {
    if (newLook) {
        if (flat)
            return {sunken ? TFrameStep{WindowFrame, Highlight} : TFrameStep{Highlight, Shadow}};
        if (sunken)
            return {{WindowFrame, Highlight}, {Shadow, Face}};
        return {{Highlight, WindowFrame}, {Face, Shadow}};
    }
    if (flat)
        return {sunken ? TFrameStep{WindowFrame, Highlight} : TFrameStep{Highlight, WindowFrame}};
    if (sunken)
        return {{WindowFrame, WindowFrame}, {Shadow, None}};
    return {{WindowFrame, WindowFrame}, {Highlight, Shadow}};
}

bool TSpeedButtonRules::Dithered(TButtonState state, bool transparent, bool flat, bool mouseInControl) {
    return state == TButtonState::bsExclusive && !transparent && (!flat || !mouseInControl);
}

QPoint TSpeedButtonRules::ContentOffset(TButtonState state) {
    return Sunken(state) ? QPoint(1, 1) : QPoint(0, 0);
}

bool TSpeedButtonRules::AcceptedDown(int groupIndex, bool down, bool requested, bool allowAllUp) {
    if (groupIndex == 0)
        return false;
    return requested || (down && !allowAllUp);
}
