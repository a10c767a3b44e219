#pragma once

#include <QtGlobal>

// Plain memory blocks for code that works on raw bytes. Counts and sizes below 1 do nothing.

// A zero-filled block of the given size, freed with FreeMemo; null for a size below 1. Raises
// std::bad_alloc when the memory is not there.
void* AllocMemo(qint64 size);
// Frees a block from AllocMemo (null is allowed) and sets the variable to null.
void FreeMemo(void*& block);

// The address offset bytes past (or, negative, before) the pointer.
void* HugeOffset(void* pointer, qint64 offset);
const void* HugeOffset(const void* pointer, qint64 offset);

// Copies count bytes; the blocks may overlap, and the destination then holds what the source
// held before the copy.
void HugeMove(void* destination, const void* source, qint64 count);

// Whether the first count bytes of the blocks are equal; true for a count below 1.
bool CompareMem(const void* a, const void* b, qint64 count);
