#include "core/vocab/VocabularyIndex.h"

#include "core/common/Exceptions.h"

void RaiseVocabularyIndexError(QStringView what, int index) {
    throw EQuilvaneError(QStringLiteral("Unknown %1 %2.").arg(what).arg(index));
}
