#include "core/files/Workstation.h"

#include "core/services/Services.h"

QString GetComputerNameText() {
    return TServices::Identity().ComputerName().trimmed();
}

QString GetProductVersion() {
    return QStringLiteral(QUILVANE_VERSION_TEXT);
}
