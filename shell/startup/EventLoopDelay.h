#pragma once

#include "shell/startup/Delay.h"

// Real pauses: the event loop runs on while waiting, so the splash keeps painting.
class TEventLoopDelay : public IDelay {
public:
    void ProcessPendingEvents() override;
    void Wait(int milliseconds) override;
};
