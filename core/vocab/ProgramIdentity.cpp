#include "core/vocab/ProgramIdentity.h"

#ifndef QUILVANE_VERSION_TEXT
#error "QUILVANE_VERSION_TEXT must be defined by the build"
#endif

QString ProgramVersionText() {
    return QStringLiteral(QUILVANE_VERSION_TEXT);
}
