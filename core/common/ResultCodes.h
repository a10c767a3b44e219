#pragma once

// Result codes of operations on files and processes.
namespace ResultCode {
inline constexpr int Success = 0;
inline constexpr int Reported = -1;    // failed, and the user has already been told
inline constexpr int Cancelled = -100; // the user cancelled
} // namespace ResultCode
