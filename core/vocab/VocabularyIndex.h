#pragma once

#include <QStringView>

#include <array>
#include <cstddef>

// Every vocabulary table is read by a small integer (page kind, chart kind, window kind, process
// kind, log kind). Those integers come back from stored files, so a damaged file can carry any
// value; reading a row through VocabularyRow turns such a value into a clear error instead of a
// read past the table.

// Raises EQuilvaneError "Unknown <what> <index>."
[[noreturn]] void RaiseVocabularyIndexError(QStringView what, int index);

template <typename T, std::size_t N> constexpr bool IsVocabularyIndex(const std::array<T, N>&, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N;
}

template <typename T, std::size_t N>
const T& VocabularyRow(const std::array<T, N>& table, int index, QStringView what) {
    if (!IsVocabularyIndex(table, index))
        RaiseVocabularyIndexError(what, index);
    return table[static_cast<std::size_t>(index)];
}
