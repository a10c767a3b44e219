#pragma once

enum class TCursorKind { Normal, Busy };

// Sets the application's cursor. Shapes nest: Push a shape, Pop to go back to the one before.
class ICursorService {
public:
    virtual ~ICursorService() = default;
    virtual void Push(TCursorKind kind) = 0;
    virtual void Pop() = 0;
};
