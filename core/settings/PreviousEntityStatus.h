#pragma once

#include <cstdint>

// What the desktop remembers of a recently used client file: greater than 0 when the file was
// open on the desktop when the program last closed. A file newly recorded as used gets 1.
class TPreviousEntityStatus {
public:
    explicit TPreviousEntityStatus(std::int32_t status = 0) : Status(status) {}

    std::int32_t Status;

    friend bool operator==(const TPreviousEntityStatus&, const TPreviousEntityStatus&) = default;
};
