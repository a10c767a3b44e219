#include "core/services/CursorScope.h"

#include "core/services/Services.h"

TCursorScope::TCursorScope(TCursorKind kind) {
    TServices::Cursor().Push(kind);
}

TCursorScope::~TCursorScope() {
    TServices::Cursor().Pop();
}
