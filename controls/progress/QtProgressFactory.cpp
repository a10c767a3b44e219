#include "controls/progress/QtProgressFactory.h"

#include "controls/progress/fmProgress.h"

std::unique_ptr<IProgress> TQtProgressFactory::CreateProgress() {
    // Not owned by any window: the operation that asked for it frees it, also when it ends by
    // an exception.
    return std::make_unique<TfmProgress>();
}
