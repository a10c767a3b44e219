#pragma once

// What a starting copy learns when it claims the right to run.
enum class TInstanceClaim {
    Runs,              // no other copy runs in this login: this one is the copy that runs
    OtherCameForward,  // another copy runs and has come to the front: this one ends quietly
    OtherDidNotAnswer, // another copy runs but could not be brought forward: say so, then end
};

// Keeps one copy of the program per user and desktop login.
class IInstanceGuard {
public:
    virtual ~IInstanceGuard() = default;
    virtual TInstanceClaim Claim() = 0;
};
