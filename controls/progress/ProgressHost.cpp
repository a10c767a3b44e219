#include "controls/progress/ProgressHost.h"

#include "core/services/Services.h"

namespace {

struct THostState {
    TProgressHost::TCallback Callback;
    int Shown = 0;
};

THostState& State() {
    static THostState state = [] {
        // A test's reset forgets the main window that listened and any window left shown.
        TServices::AtReset([] { State() = THostState(); });
        return THostState();
    }();
    return state;
}

} // namespace

void TProgressHost::SetCallback(TCallback callback) {
    State().Callback = std::move(callback);
}

void TProgressHost::Enter() {
    THostState& state = State();
    if (++state.Shown == 1 && state.Callback)
        state.Callback(true);
}

void TProgressHost::Leave() {
    THostState& state = State();
    if (state.Shown == 0)
        return;
    if (--state.Shown == 0 && state.Callback)
        state.Callback(false);
}

int TProgressHost::ShownCount() {
    return State().Shown;
}
