#pragma once

// Opens help at a context number.
class IHelp {
public:
    virtual ~IHelp() = default;
    virtual void ShowContext(int context) = 0;
};
