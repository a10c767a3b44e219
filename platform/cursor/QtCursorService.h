#pragma once

#include "core/services/CursorService.h"

// The application-wide cursor: each Push lays a shape over the ones before, Pop takes it off.
// A Pop with nothing pushed is ignored, so an unbalanced caller cannot strip shapes it did not
// lay.
class TQtCursorService : public ICursorService {
public:
    ~TQtCursorService() override;
    void Push(TCursorKind kind) override;
    void Pop() override;
    int Depth() const { return Pushed; }

private:
    int Pushed = 0;
};
