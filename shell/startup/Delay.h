#pragma once

// Pauses of the start-up, during which windows keep painting.
class IDelay {
public:
    virtual ~IDelay() = default;
    // Handles whatever is waiting (painting the splash) and returns.
    virtual void ProcessPendingEvents() = 0;
    virtual void Wait(int milliseconds) = 0;
};
