// Status codes returned by every library operation.
#pragma once

#include <cstdint>

namespace qdb {

// Signed 16-bit result: 0 success, negative failure.
using StatusCode = std::int16_t;

inline constexpr StatusCode kSuccess = 0;
inline constexpr StatusCode kInvalidParm = -1;
inline constexpr StatusCode kFileOpen = -2;
inline constexpr StatusCode kMalloc = -3;
inline constexpr StatusCode kFileRead = -4;
inline constexpr StatusCode kFileWrite = -5;
inline constexpr StatusCode kFileSeek = -6;
inline constexpr StatusCode kFileExists = -7;
inline constexpr StatusCode kFileNotFound = -8;
inline constexpr StatusCode kRecordNotFound = -9;
inline constexpr StatusCode kNoGraphicsFound = -10;
inline constexpr StatusCode kNoFontsFound = -11;
inline constexpr StatusCode kChartsUninitialized = -12;
inline constexpr StatusCode kMaxLinesExceeded = -13;
inline constexpr StatusCode kMaxGridsExceeded = -14;
// The layout of a data file cannot be determined.
inline constexpr StatusCode kLayoutUnknown = -100;
// A delete request found no quote of the requested date.
inline constexpr StatusCode kDeleteNotFound = -200;
// The record a request addresses by its position no longer has the date and time it names:
// the file changed since it was read.
inline constexpr StatusCode kQuoteChanged = -201;
// Every file took its place, but the directory holding them could not be forced to the disk:
// the change is made, and may not survive a crash.
inline constexpr StatusCode kNotConfirmed = -202;

// Text of a status code ("Sucessfull", "File Open", ...); "Unknown" for codes outside the table.
const char* status_text(int code);

}  // namespace qdb
