#pragma once

// Keeps one copy of the program per user on a workstation.
class IInstanceGuard {
public:
    virtual ~IInstanceGuard() = default;
    // True when this copy is the one that runs; false when another copy already runs (it has
    // been asked to come to the front, and this copy should end).
    virtual bool Claim() = 0;
};
