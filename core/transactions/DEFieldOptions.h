#pragma once

#include <QtGlobal>

#include <array>

// The data-entry window's field settings of one page: three 32-bit flag sets and ten values.
// Their meaning belongs to the window; the page only starts, keeps and hands them over, and the
// page history stores the sets and values 1 to 5 and 8.
class TDEFieldOptions {
public:
    static constexpr int SetCount = 3;
    static constexpr int ValueCount = 10;

    // The sets start as {1}, {2} and {1}; the values as 0.
    TDEFieldOptions();

    std::array<quint32, SetCount> Sets{};
    std::array<qint32, ValueCount> Values{};
};
