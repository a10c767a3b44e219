#pragma once

#include "core/services/CursorService.h"

// Shows a cursor shape for the life of the scope (the hourglass around slow work, the normal
// cursor around a message shown during it).
class TCursorScope {
public:
    explicit TCursorScope(TCursorKind kind);
    ~TCursorScope();
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;
};
