#pragma once

#include "core/services/Progress.h"

#include <QList>
#include <QStringList>

// Progress windows for tests: every call is written to a shared log, and a window can be told
// to act as if Cancel was pressed at its n-th update.
class TRecordingProgressFactory : public IProgressFactory {
public:
    std::unique_ptr<IProgress> CreateProgress() override;

    QStringList Log; // "setup:<caption>|<kind>|<detail>", "position:<p>", "message:<kind>|<detail>", "close"
    QList<double> Positions; // every SetPosition value
    int CancelAtUpdate = -1; // update count (Setup excluded) at which to raise the cancel; -1 never
    int Created = 0;
    int Open = 0; // windows not yet destroyed
    int Updates = 0;
};
