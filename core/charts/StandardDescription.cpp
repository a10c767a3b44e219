#include "core/charts/StandardDescription.h"

bool TStandardDescription::SetKey(const QString& key) {
    // A blank abbreviation could never be typed after "~".
    if (key.trimmed().isEmpty())
        return false;
    Abbreviation = key;
    return true;
}
