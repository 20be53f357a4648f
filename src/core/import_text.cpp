#include "core/import_text.h"

#include <charconv>
#include <cstring>

namespace core::import_text {
namespace {

bool is_space(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view unquote(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return trim(text.substr(1, text.size() - 2));
  return text;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool whole(std::string_view text, int& value) {
  if (!all_digits(text) || text.size() > 9) return false;
  value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return true;
}

// Splits text at sep into exactly three parts.
bool three(std::string_view text, char sep, std::string_view& a, std::string_view& b,
           std::string_view& c) {
  const std::size_t first = text.find(sep);
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find(sep, first + 1);
  if (second == std::string_view::npos || text.find(sep, second + 1) != std::string_view::npos)
    return false;
  a = text.substr(0, first);
  b = text.substr(first + 1, second - first - 1);
  c = text.substr(second + 1);
  return true;
}

// Two-digit years as everywhere in the program: 00 to 59 are 2000 to 2059.
int full_year(int yy) { return yy < 60 ? 2000 + yy : 1900 + yy; }

bool month_name(std::string_view text, int& month) {
  static constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (text.size() != 3) return false;
  const char folded[3] = {upper(text[0]), upper(text[1]), upper(text[2])};
  for (int m = 0; m < 12; ++m) {
    if (std::memcmp(folded, kMonths[m], 3) == 0) {
      month = m + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

bool Lines::next(std::string_view& line) {
  if (m_position >= m_text.size()) return false;
  const std::size_t end = m_text.find('\n', m_position);
  const std::size_t stop = end == std::string_view::npos ? m_text.size() : end;
  line = m_text.substr(m_position, stop - m_position);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  m_position = end == std::string_view::npos ? m_text.size() : end + 1;
  ++m_number;
  return true;
}

bool is_blank(std::string_view line) { return trim(line).empty(); }

void split(std::string_view line, char delimiter, Cells& cells) {
  cells.count = 0;
  std::size_t i = 0;
  const std::size_t n = line.size();
  if (delimiter == ' ') {
    while (cells.count < kMaxCells) {
      while (i < n && is_space(line[i])) ++i;
      if (i >= n) break;
      const std::size_t start = i;
      if (line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        i = close == std::string_view::npos ? n : close + 1;
      }
      while (i < n && !is_space(line[i])) ++i;
      cells.cell[cells.count++] = unquote(line.substr(start, i - start));
    }
    return;
  }
  while (cells.count < kMaxCells) {
    std::size_t start = i;
    while (start < n && is_space(line[start])) ++start;
    std::size_t j = start;
    if (j < n && line[j] == '"') {
      const std::size_t close = line.find('"', j + 1);
      j = close == std::string_view::npos ? n : close + 1;
    }
    while (j < n && line[j] != delimiter) ++j;
    cells.cell[cells.count++] = unquote(trim(line.substr(start, j - start)));
    if (j >= n) break;
    i = j + 1;
  }
}

bool header_role(std::string_view cell, ImportColumn& role, ImportDateForm& date_form) {
  std::string_view text = trim(unquote(cell));
  if (text.size() >= 2 &&
      ((text.front() == '<' && text.back() == '>') || (text.front() == '[' && text.back() == ']')))
    text = trim(text.substr(1, text.size() - 2));
  char folded[24];
  std::size_t length = 0;
  for (char c : text) {
    if (c == ' ' || c == '_') continue;  // "Open Interest", "OPEN_INT"
    if (length == sizeof folded) return false;
    folded[length++] = upper(c);
  }
  const std::string_view name(folded, length);
  struct Name {
    std::string_view text;
    ImportColumn role;
  };
  static constexpr Name kNames[] = {
      {"DATE", ImportColumn::kDate},     {"DTYYYYMMDD", ImportColumn::kDate},
      {"TIME", ImportColumn::kTime},     {"OPEN", ImportColumn::kOpen},
      {"HIGH", ImportColumn::kHigh},     {"LOW", ImportColumn::kLow},
      {"CLOSE", ImportColumn::kClose},   {"VOLUME", ImportColumn::kVolume},
      {"VOL", ImportColumn::kVolume},    {"OPENINT", ImportColumn::kOi},
      {"OI", ImportColumn::kOi},         {"OPENINTEREST", ImportColumn::kOi},
      {"TICKER", ImportColumn::kTicker}, {"SYMBOL", ImportColumn::kTicker},
      {"NAME", ImportColumn::kName},     {"PER", ImportColumn::kPer},
  };
  for (const Name& known : kNames) {
    if (known.text == name) {
      role = known.role;
      if (name == "DTYYYYMMDD") date_form = ImportDateForm::kYmd;
      return true;
    }
  }
  return false;
}

ImportDateForm date_shape(std::string_view cell) {
  std::string_view a, b, c;
  if (all_digits(cell)) {
    if (cell.size() == 8) return ImportDateForm::kYmd;
    if (cell.size() == 6) return ImportDateForm::kYymmdd;
    return ImportDateForm::kDetect;
  }
  if (three(cell, '-', a, b, c)) {
    if (a.size() == 4 && all_digits(b)) return ImportDateForm::kIso;
    int month = 0;
    if (month_name(b, month)) return ImportDateForm::kMon;
    return ImportDateForm::kDetect;
  }
  if (three(cell, '/', a, b, c)) {
    if (c.size() == 4) return ImportDateForm::kMdy4;
    if (c.size() == 2) return ImportDateForm::kMdy2;
    return ImportDateForm::kDetect;
  }
  if (three(cell, '.', a, b, c) && c.size() == 4) return ImportDateForm::kDot;
  return ImportDateForm::kDetect;
}

bool date_parts(std::string_view cell, ImportDateForm form, int& year, int& month, int& day) {
  std::string_view a, b, c;
  switch (form) {
    case ImportDateForm::kIso:
      return three(cell, '-', a, b, c) && a.size() == 4 && b.size() <= 2 && c.size() <= 2 &&
             whole(a, year) && whole(b, month) && whole(c, day);
    case ImportDateForm::kYmd:
      return cell.size() == 8 && whole(cell.substr(0, 4), year) &&
             whole(cell.substr(4, 2), month) && whole(cell.substr(6, 2), day);
    case ImportDateForm::kYymmdd:
      if (cell.size() != 6 || !whole(cell.substr(0, 2), year) || !whole(cell.substr(2, 2), month) ||
          !whole(cell.substr(4, 2), day))
        return false;
      year = full_year(year);
      return true;
    case ImportDateForm::kMdy4:
    case ImportDateForm::kMdy2:
    case ImportDateForm::kDmy4:
    case ImportDateForm::kDmy2: {
      const bool four = form == ImportDateForm::kMdy4 || form == ImportDateForm::kDmy4;
      if (!three(cell, '/', a, b, c) || a.size() > 2 || b.size() > 2 ||
          c.size() != (four ? 4u : 2u) || !whole(c, year))
        return false;
      if (!four) year = full_year(year);
      const bool day_first = form == ImportDateForm::kDmy4 || form == ImportDateForm::kDmy2;
      return day_first ? whole(a, day) && whole(b, month) : whole(a, month) && whole(b, day);
    }
    case ImportDateForm::kDot:
      return three(cell, '.', a, b, c) && a.size() <= 2 && b.size() <= 2 && c.size() == 4 &&
             whole(a, day) && whole(b, month) && whole(c, year);
    case ImportDateForm::kMon:
      if (!three(cell, '-', a, b, c) || a.size() > 2 || !whole(a, day) || !month_name(b, month))
        return false;
      if (c.size() == 4) return whole(c, year);
      if (c.size() == 2 && whole(c, year)) {
        year = full_year(year);
        return true;
      }
      return false;
    case ImportDateForm::kDetect:
      break;
  }
  return false;
}

bool time_seconds(std::string_view cell, std::int32_t& seconds) {
  int h = 0, m = 0, s = 0;
  std::string_view a, b, c;
  if (all_digits(cell) && cell.size() >= 4 && cell.size() <= 6) {
    // HHMMSS, HMMSS (a number that lost its leading zero) or HHMM.
    const std::size_t hours = cell.size() == 5 ? 1 : 2;
    whole(cell.substr(0, hours), h);
    whole(cell.substr(hours, 2), m);
    if (cell.size() > 4) whole(cell.substr(hours + 2, 2), s);
  } else if (three(cell, ':', a, b, c)) {
    if (a.size() > 2 || b.size() != 2 || c.size() != 2 || !whole(a, h) || !whole(b, m) ||
        !whole(c, s))
      return false;
  } else {
    const std::size_t colon = cell.find(':');
    if (colon == std::string_view::npos || colon > 2 || cell.size() - colon != 3 ||
        !whole(cell.substr(0, colon), h) || !whole(cell.substr(colon + 1), m))
      return false;
  }
  if (h > 23 || m > 59 || s > 59) return false;
  seconds = h * 3600 + m * 60 + s;
  return true;
}

bool number(std::string_view cell, char decimal, float& value) {
  if (cell.empty() || cell == "N/A" || cell == "n/a") {
    value = -1.0f;
    return true;
  }
  if (cell.front() == '+') cell.remove_prefix(1);
  char buffer[64];
  if (decimal == ',') {
    if (cell.size() > sizeof buffer) return false;
    for (std::size_t i = 0; i < cell.size(); ++i) {
      const char c = cell[i];
      if (c == '.') return false;  // no grouping marks: a point here is no number
      buffer[i] = c == ',' ? '.' : c;
    }
    cell = std::string_view(buffer, cell.size());
  }
  if (cell.empty()) return false;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  return error == std::errc() && end == cell.data() + cell.size();
}

}  // namespace core::import_text
