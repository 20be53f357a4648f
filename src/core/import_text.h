// The cell-level reading of import text: lines, cells, header names, dates, times and numbers.
// Everything works on views into the text, so a row costs no allocation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/import.h"

namespace core::import_text {

// The most cells of a line that are looked at; cells past it are ignored.
inline constexpr std::size_t kMaxCells = 64;

struct Cells {
  std::array<std::string_view, kMaxCells> cell;
  std::size_t count = 0;
};

// Walks the lines of a text; a line ends at "\n", a "\r" before it is dropped.
class Lines {
 public:
  explicit Lines(std::string_view text) : m_text(text) {}
  // The next line, false at the end. number() is then its 1-based number.
  bool next(std::string_view& line);
  std::uint32_t number() const { return m_number; }
  std::size_t offset() const { return m_position; }

 private:
  std::string_view m_text;
  std::size_t m_position = 0;
  std::uint32_t m_number = 0;
};

bool is_blank(std::string_view line);
// Splits a line at delimiter (' ': runs of blanks and tabs); each cell without the blanks
// around it and without surrounding double quotes (a delimiter inside quotes stays in the cell).
void split(std::string_view line, char delimiter, Cells& cells);

// The role a header cell names (any case, inside "<>", "[]" or quotes); false when it names
// none (the column is ignored). date_form is set for a name that says the form (DTYYYYMMDD).
bool header_role(std::string_view cell, ImportColumn& role, ImportDateForm& date_form);

// A date cell in form: full year, month and day (not yet checked against the calendar). For
// kMdy4 and kMdy2 month and day are the first and second numbers as written; the caller swaps
// them for a day-first file. False when the cell does not have the form's shape.
bool date_parts(std::string_view cell, ImportDateForm form, int& year, int& month, int& day);
// The form a cell's shape says; kMdy4 and kMdy2 also stand for the day-first forms, decided
// later from the whole column. kDetect when the cell has no date shape.
ImportDateForm date_shape(std::string_view cell);
// HH:MM, HH:MM:SS, HHMM or HHMMSS to seconds since midnight; false when not a time.
bool time_seconds(std::string_view cell, std::int32_t& seconds);
// A number with decimal as its separator; an empty cell or "N/A" gives -1. False when the
// cell is not a number.
bool number(std::string_view cell, char decimal, float& value);

}  // namespace core::import_text
