#pragma once

#include <cstdint>

// The one-byte tags of the value stream.
enum class TValueTag : std::uint8_t {
    Null = 0, // end of list; also the identifier "Null"
    List = 1, // begin of list
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5, // 10-byte floating-point number
    String = 6,   // up to 255 characters, one length byte
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,  // reserved, never written
    Set = 11,     // reserved, never written
    LString = 12, // 256 characters or more, four length bytes
    Nil = 13,
    Collection = 14, // reserved from here on
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
};

// Bytes an integer or a string takes in the stream.
int WriterIntegerSize(std::int32_t value);
int WriterStringSize(int length);
