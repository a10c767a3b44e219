#include "controls/util/MemoryRoutines.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

void* AllocMemo(qint64 size) {
    if (size < 1)
        return nullptr;
    if (quint64(size) > std::numeric_limits<std::size_t>::max())
        throw std::bad_alloc();
    void* block = std::calloc(std::size_t(size), 1);
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

void FreeMemo(void*& block) {
    std::free(block);
    block = nullptr;
}

void* HugeOffset(void* pointer, qint64 offset) {
    return static_cast<char*>(pointer) + offset;
}

const void* HugeOffset(const void* pointer, qint64 offset) {
    return static_cast<const char*>(pointer) + offset;
}

void HugeMove(void* destination, const void* source, qint64 count) {
    if (count > 0)
        std::memmove(destination, source, std::size_t(count));
}

bool CompareMem(const void* a, const void* b, qint64 count) {
    return count < 1 || std::memcmp(a, b, std::size_t(count)) == 0;
}
