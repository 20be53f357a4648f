// Texts of the library's status codes.
#include "qdb/status.h"

namespace qdb {
namespace {

// Indexed by the negated code; the texts are the library's own, spelling included.
constexpr const char* kStatusTexts[] = {
    "Sucessfull",
    "Invalid Parm",
    "File Open",
    "Malloc",
    "File Read",
    "File Write",
    "File Seek",
    "File Exists",
    "File Not Found",
    "Record Not Found",
    "No Graphics Found",
    "No Fonts Found",
    "Charts Uninitialized",
    "Max Lines Exceeded",
    "Max Grids Exceeded",
};
constexpr int kStatusTextCount = static_cast<int>(sizeof(kStatusTexts) / sizeof(kStatusTexts[0]));

}  // namespace

const char* status_text(int code) {
  if (code > 0 || code <= -kStatusTextCount) return "Unknown";
  return kStatusTexts[-code];
}

}  // namespace qdb
