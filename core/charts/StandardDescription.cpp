#include "core/charts/StandardDescription.h"

bool TStandardDescription::SetKey(const QString& Key) {
    Abbreviation = Key;
    return true;
}
