#pragma once

#include "core/util/ThreadScratch.h"

#include <vector>

// The block buffer that transaction files are read into. One serves each thread (transaction
// files are read on the user-interface thread): a procedure that reads a hundred month files one
// after another reads them all into the same memory, and the buffer is kept for the next
// procedure. A load that starts while another is reading (from a window shown during a load)
// takes a buffer of its own.
class TTransactionReadBuffer : private TThreadScratch<std::vector<char>, TTransactionReadBuffer> {
public:
    // Sized by the reader (a whole number of its records); keeps its memory between reads.
    std::vector<char>& Bytes() { return Get(); }
};
