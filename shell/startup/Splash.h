#pragma once

// The splash window shown while the program starts.
class ISplash {
public:
    virtual ~ISplash() = default;
    virtual void Show() = 0;
    // Closes and frees the window; does nothing when it is not shown.
    virtual void Free() = 0;
};
