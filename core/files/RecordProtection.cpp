#include "core/files/RecordProtection.h"

#include "core/common/Exceptions.h"
#include "core/services/Services.h"

#include <QDir>
#include <QFileInfo>

TRecordProtection::TRecordProtection(const QString& nativePath)
    : Path(nativePath), Existed(QFileInfo::exists(nativePath)) {
    if (Existed && !TServices::FileSystem().SetProtected(Path, false))
        throw EQuilvaneError(QStringLiteral("Unable to write %1 - the file cannot be made writable.")
                                 .arg(QDir::toNativeSeparators(Path)));
}

TRecordProtection::~TRecordProtection() {
    try {
        // A record that was there is protected even when its name cannot be found just now; a
        // write that made none leaves nothing to protect.
        if (Existed || QFileInfo::exists(Path))
            TServices::FileSystem().SetProtected(Path, true);
    } catch (...) {
        // A file system service that fails here leaves the record as the write left it; the
        // next write of the record protects it again.
    }
}
