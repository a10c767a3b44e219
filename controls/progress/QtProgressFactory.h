#pragma once

#include "core/services/Progress.h"

// Makes the program's progress windows for the data layer; the program entry installs it with
// TServices::SetProgressFactory.
class TQtProgressFactory : public IProgressFactory {
public:
    std::unique_ptr<IProgress> CreateProgress() override;
};
