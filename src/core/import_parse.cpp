// Reading import text into bars per symbol: detection, one pass over the lines, then the dates
// settled for the whole file, the bars sorted and repeated dates refused.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "core/import.h"
#include "core/import_text.h"
#include "qdb/file_system.h"

namespace core {
namespace {

namespace text = import_text;

constexpr std::size_t kSampleLines = 10;
constexpr std::uint32_t kProgressLines = 65536;
// Symbols as the index files hold them: the XMASTER keeps 14 characters and a terminator.
constexpr std::size_t kMaxSymbolLength = 14;

struct WordOf {
  std::string_view word;
  int value;
};
constexpr WordOf kColumnWords[] = {
    {"skip", 0},    {"date", 1},   {"time", 2},   {"open", 3},  {"high", 4},
    {"low", 5},     {"close", 6},  {"volume", 7}, {"vol", 7},   {"oi", 8},
    {"openint", 8}, {"ticker", 9}, {"symbol", 9}, {"name", 10}, {"per", 11},
};
constexpr WordOf kDateWords[] = {
    {"iso", 1}, {"ymd", 2},  {"mdy4", 3}, {"dmy4", 4},   {"dot", 5},
    {"mon", 6}, {"mdy2", 7}, {"dmy2", 8}, {"yymmdd", 9},
};

// The value a word names in a table, and the (first) word of a value.
template <typename Enum, std::size_t N>
bool value_of(const WordOf (&table)[N], std::string_view word, Enum& value) {
  for (const WordOf& known : table) {
    if (known.word == word) {
      value = static_cast<Enum>(known.value);
      return true;
    }
  }
  return false;
}

template <typename Enum, std::size_t N>
const char* word_of(const WordOf (&table)[N], Enum value, const char* fallback) {
  for (const WordOf& known : table)
    if (known.value == static_cast<int>(value)) return known.word.data();
  return fallback;
}

std::string to_upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string stem_of(const std::string& path) {
  std::string name = qdb::file_name_of(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

// Symbols by their upper-case text, looked up by view so a row allocates nothing.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view text) const noexcept {
    return std::hash<std::string_view>()(text);
  }
};

class SymbolTable {
 public:
  explicit SymbolTable(ImportData& data) : m_data(data) {}
  // The index of symbol (any case), added when new; kMaxSymbolLength is checked by the caller.
  std::uint32_t index(std::string_view symbol) {
    char folded[kMaxSymbolLength + 1];
    for (std::size_t i = 0; i < symbol.size(); ++i)
      folded[i] =
          symbol[i] >= 'a' && symbol[i] <= 'z' ? static_cast<char>(symbol[i] - 32) : symbol[i];
    const std::string_view key(folded, symbol.size());
    if (auto found = m_index.find(key); found != m_index.end()) return found->second;
    const auto index = static_cast<std::uint32_t>(m_data.symbols.size());
    m_data.symbols.emplace_back();
    m_data.symbols.back().symbol = std::string(symbol);
    m_data.symbols.back().periodicity = 0;  // a PER column fills it, else finish() does
    m_index.emplace(std::string(key), index);
    return index;
  }

 private:
  ImportData& m_data;
  std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> m_index;
};

// One data line before its date is settled: the date as year * 10000 + first * 100 + second
// numbers as written, and its symbol.
struct Row {
  ImportBar bar;
  std::uint32_t symbol = 0;
};

// Where a file's bars begin in a symbol's bars; kNone for a symbol the file does not name.
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

char detect_delimiter(std::string_view text) {
  text::Lines lines(text);
  std::string_view line;
  std::size_t sampled = 0;
  bool all[3] = {true, true, true};
  constexpr char kCandidates[3] = {'\t', ';', ','};
  while (sampled < kSampleLines && lines.next(line)) {
    if (text::is_blank(line)) continue;
    ++sampled;
    for (int i = 0; i < 3; ++i)
      if (line.find(kCandidates[i]) == std::string_view::npos) all[i] = false;
  }
  for (int i = 0; i < 3; ++i)
    if (sampled > 0 && all[i]) return kCandidates[i];
  return ' ';
}

// A comma decimal separator shows as a cell of digits with one comma and no point.
bool uses_decimal_comma(std::string_view text, char delimiter, bool header) {
  text::Lines lines(text);
  std::string_view line;
  text::Cells cells;
  std::size_t sampled = 0;
  bool comma = false;
  while (sampled < kSampleLines && lines.next(line)) {
    if (text::is_blank(line)) continue;
    if (sampled++ == 0 && header) continue;
    text::split(line, delimiter, cells);
    for (std::size_t i = 0; i < cells.count; ++i) {
      const std::string_view cell = cells.cell[i];
      if (cell.find('.') != std::string_view::npos) {
        // "12.5" is a point decimal; a date "01.02.2024" says nothing.
        if (std::count(cell.begin(), cell.end(), '.') == 1) return false;
        continue;
      }
      const std::size_t at = cell.find(',');
      if (at != std::string_view::npos && at > 0 && at + 1 < cell.size() &&
          cell.find_first_not_of("0123456789,-") == std::string_view::npos)
        comma = true;
    }
  }
  return comma;
}

class FileParser {
 public:
  FileParser(std::string_view content, const std::string& path, std::uint32_t file_index,
             const ImportOptions& options, ImportData& data, SymbolTable& table)
      : m_text(content),
        m_path(path),
        m_file(file_index),
        m_options(options),
        m_data(data),
        m_table(table) {}

  bool run(const ImportControl& control, ImportError& error);
  ImportFileInfo& info() { return m_info; }
  // Per symbol (by index), where this file's bars begin in its bars, or kNone.
  std::size_t start(std::size_t symbol) const {
    return symbol < m_start.size() ? m_start[symbol] : kNone;
  }

 private:
  bool fail(ImportError& error, std::uint32_t line, std::uint32_t column, std::string message) {
    error = ImportError{m_path, line, column, std::move(message)};
    return false;
  }
  bool read_header(std::string_view line, std::uint32_t number, ImportError& error);
  bool read_row(const text::Cells& cells, std::uint32_t number, ImportError& error);
  bool settle_dates(ImportError& error);

  std::string_view m_text;
  const std::string& m_path;
  std::uint32_t m_file;
  const ImportOptions& m_options;
  ImportData& m_data;
  SymbolTable& m_table;
  std::vector<std::size_t> m_start;  // per symbol, where this file's bars begin
  ImportFileInfo m_info;
  std::array<int, 12> m_at{};  // the column (0-based) of each role, -1 when absent
  std::size_t m_needed = 0;    // cells a data line must have
  std::uint32_t m_symbol = 0;  // without a TICKER column
  bool m_slash_pending = false;
  int m_max_first = 0, m_max_second = 0;
  std::uint32_t m_first_bad_first_line = 0;  // a line whose first number exceeds 12
  std::string_view m_last_ticker;            // into the text
  std::uint32_t m_last_symbol = 0;
};

int role_at(const std::array<int, 12>& at, ImportColumn role) {
  return at[static_cast<std::size_t>(role)];
}

bool FileParser::read_header(std::string_view line, std::uint32_t number, ImportError& error) {
  text::Cells cells;
  text::split(line, m_info.delimiter, cells);
  std::vector<ImportColumn> named(cells.count, ImportColumn::kSkip);
  int known = 0;
  ImportDateForm hinted = ImportDateForm::kDetect;
  for (std::size_t i = 0; i < cells.count; ++i)
    if (text::header_role(cells.cell[i], named[i], hinted)) ++known;
  m_info.header = known > 0;
  if (m_info.header) {
    for (std::size_t i = 0; i < cells.count; ++i)
      if (named[i] == ImportColumn::kSkip && !cells.cell[i].empty())
        m_data.notes.push_back(qdb::file_name_of(m_path) + ": column \"" +
                               std::string(cells.cell[i]) + "\" ignored");
    if (m_info.date_form == ImportDateForm::kDetect) m_info.date_form = hinted;
  }
  if (!m_options.columns.empty()) {
    m_info.columns = m_options.columns;
  } else if (m_info.header) {
    m_info.columns = named;
  } else {
    return fail(error, number, 0,
                "no header row names the columns; give them (such as "
                "date,open,high,low,close,volume)");
  }
  m_at.fill(-1);
  for (std::size_t i = 0; i < m_info.columns.size() && i < text::kMaxCells; ++i) {
    const ImportColumn role = m_info.columns[i];
    if (role == ImportColumn::kSkip) continue;
    int& slot = m_at[static_cast<std::size_t>(role)];
    if (slot >= 0)
      return fail(error, number, static_cast<std::uint32_t>(i + 1),
                  std::string("two columns are ") + to_upper(import_column_word(role)));
    slot = static_cast<int>(i);
    m_needed = i + 1;
  }
  if (role_at(m_at, ImportColumn::kDate) < 0)
    return fail(error, number, 0, "no column holds the DATE");
  bool any_value = false;
  for (ImportColumn role : {ImportColumn::kOpen, ImportColumn::kHigh, ImportColumn::kLow,
                            ImportColumn::kClose, ImportColumn::kVolume, ImportColumn::kOi})
    any_value = any_value || role_at(m_at, role) >= 0;
  if (!any_value) return fail(error, number, 0, "no column holds a price");
  return true;
}

bool FileParser::run(const ImportControl& control, ImportError& error) {
  m_info.path = m_path;
  // Spreadsheets often start a UTF-8 file with a byte order mark; it is no part of the header.
  if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_text.remove_prefix(3);
  m_info.delimiter = m_options.delimiter != 0 ? m_options.delimiter : detect_delimiter(m_text);
  m_info.date_form = m_options.date_form;
  text::Lines lines(m_text);
  std::string_view line;
  bool started = false;
  text::Cells cells;
  while (lines.next(line)) {
    if (text::is_blank(line)) continue;
    const std::uint32_t number = lines.number();
    if (!started) {
      started = true;
      if (!read_header(line, number, error)) return false;
      m_info.decimal =
          m_options.decimal != 0 ? m_options.decimal
          : m_info.delimiter != ',' && uses_decimal_comma(m_text, m_info.delimiter, m_info.header)
              ? ','
              : '.';
      if (role_at(m_at, ImportColumn::kTicker) < 0) {
        const std::string symbol = m_options.symbol.empty() ? stem_of(m_path) : m_options.symbol;
        if (symbol.empty() || symbol.size() > kMaxSymbolLength)
          return fail(error, 0, 0, "the symbol \"" + symbol + "\" must have 1 to 14 characters");
        m_symbol = m_table.index(symbol);
        // A one-symbol file: room for every line at once (a line is longer than 32 bytes).
        auto& bars = m_data.symbols[m_symbol].bars;
        bars.reserve(bars.size() + m_text.size() / 32);
      }
      if (m_info.header) continue;
    }
    if (number % kProgressLines == 0) {
      if (control.cancel != nullptr && control.cancel->load())
        return fail(error, 0, 0, "cancelled");
      if (control.progress) control.progress(lines.offset(), m_text.size());
    }
    text::split(line, m_info.delimiter, cells);
    if (!read_row(cells, number, error)) return false;
  }
  if (m_info.rows == 0 && !started) return fail(error, 0, 0, "the file holds no lines");
  return settle_dates(error);
}

bool FileParser::read_row(const text::Cells& cells, std::uint32_t number, ImportError& error) {
  if (cells.count < m_needed)
    return fail(error, number, static_cast<std::uint32_t>(cells.count + 1),
                "the line ends before its " +
                    to_upper(import_column_word(m_info.columns[cells.count])) + " column");
  Row row;
  row.bar.line = number;
  row.bar.file = m_file;
  row.symbol = m_symbol;
  const auto cell_of = [&](ImportColumn role) { return cells.cell[role_at(m_at, role)]; };
  const auto column_of = [&](ImportColumn role) {
    return static_cast<std::uint32_t>(role_at(m_at, role) + 1);
  };

  const std::string_view date = cell_of(ImportColumn::kDate);
  if (m_info.date_form == ImportDateForm::kDetect) {
    m_info.date_form = text::date_shape(date);
    if (m_info.date_form == ImportDateForm::kDetect)
      return fail(error, number, column_of(ImportColumn::kDate),
                  "\"" + std::string(date) + "\" is not a date");
    m_slash_pending =
        m_info.date_form == ImportDateForm::kMdy4 || m_info.date_form == ImportDateForm::kMdy2;
  }
  int year = 0, first = 0, second = 0;
  if (!text::date_parts(date, m_info.date_form, year, first, second))
    return fail(error, number, column_of(ImportColumn::kDate),
                "\"" + std::string(date) + "\" is not a date of the form " +
                    import_date_form_word(m_info.date_form));
  if (m_slash_pending) {
    if (first > m_max_first) {
      m_max_first = first;
      if (first > 12 && m_first_bad_first_line == 0) m_first_bad_first_line = number;
    }
    m_max_second = std::max(m_max_second, second);
  }
  row.bar.date = year * 10000 + first * 100 + second;

  if (role_at(m_at, ImportColumn::kTime) >= 0 &&
      !text::time_seconds(cell_of(ImportColumn::kTime), row.bar.seconds))
    return fail(error, number, column_of(ImportColumn::kTime),
                "\"" + std::string(cell_of(ImportColumn::kTime)) + "\" is not a time");
  static constexpr ImportColumn kValues[6] = {ImportColumn::kOpen,   ImportColumn::kHigh,
                                              ImportColumn::kLow,    ImportColumn::kClose,
                                              ImportColumn::kVolume, ImportColumn::kOi};
  for (int v = 0; v < 6; ++v) {
    row.bar.values[v] = -1.0f;
    if (role_at(m_at, kValues[v]) < 0) continue;
    const std::string_view cell = cell_of(kValues[v]);
    if (!text::number(cell, m_info.decimal, row.bar.values[v]))
      return fail(error, number, column_of(kValues[v]),
                  "\"" + std::string(cell) + "\" is not a number");
  }
  if (role_at(m_at, ImportColumn::kTicker) >= 0) {
    const std::string_view ticker = cell_of(ImportColumn::kTicker);
    if (ticker.empty() || ticker.size() > kMaxSymbolLength)
      return fail(error, number, column_of(ImportColumn::kTicker),
                  "the symbol \"" + std::string(ticker) + "\" must have 1 to 14 characters");
    // Rows of one ticker mostly follow each other: the last one is compared first.
    if (ticker != m_last_ticker) {
      m_last_symbol = m_table.index(ticker);
      m_last_ticker = ticker;
    }
    row.symbol = m_last_symbol;
  }
  ImportSymbol& symbol = m_data.symbols[row.symbol];
  if (role_at(m_at, ImportColumn::kName) >= 0 && symbol.name.empty())
    symbol.name = std::string(cell_of(ImportColumn::kName));
  if (role_at(m_at, ImportColumn::kPer) >= 0 && symbol.periodicity == 0) {
    const std::string_view per = cell_of(ImportColumn::kPer);
    const char letter = per.empty() ? 'D' : per.front();
    symbol.periodicity = letter >= '0' && letter <= '9'   ? 'I'
                         : letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 32)
                                                          : letter;
  }
  if (m_start.size() <= row.symbol) m_start.resize(m_data.symbols.size(), kNone);
  if (m_start[row.symbol] == kNone) m_start[row.symbol] = symbol.bars.size();
  symbol.bars.push_back(row.bar);
  ++m_info.rows;
  return true;
}

bool FileParser::settle_dates(ImportError& error) {
  bool day_first = false;
  if (m_slash_pending) {
    const bool four = m_info.date_form == ImportDateForm::kMdy4;
    if (m_max_first > 12 && m_max_second > 12)
      return fail(error, m_first_bad_first_line,
                  static_cast<std::uint32_t>(role_at(m_at, ImportColumn::kDate) + 1),
                  "the dates fit neither month/day nor day/month");
    if (m_max_first > 12) {
      day_first = true;
      m_info.date_form = four ? ImportDateForm::kDmy4 : ImportDateForm::kDmy2;
    } else if (m_max_second <= 12 && m_info.rows > 0) {
      return fail(error, 0, 0,
                  std::string("the dates fit both month/day and day/month: give the date form (") +
                      (four ? "mdy4 or dmy4" : "mdy2 or dmy2") + ")");
    }
  }
  const auto date_column = static_cast<std::uint32_t>(role_at(m_at, ImportColumn::kDate) + 1);
  for (std::size_t s = 0; s < m_start.size(); ++s) {
    if (m_start[s] == kNone) continue;
    auto& bars = m_data.symbols[s].bars;
    for (std::size_t i = m_start[s]; i < bars.size(); ++i) {
      ImportBar& bar = bars[i];
      const int year = bar.date / 10000;
      int month = (bar.date / 100) % 100;
      int day = bar.date % 100;
      if (day_first) std::swap(month, day);
      if (year < 1900 || year > 2099)
        return fail(error, bar.line, date_column,
                    "the year " + std::to_string(year) +
                        " is outside 1900-2099, which the files can't hold");
      if (!qdb::is_calendar_date(year, month, day))
        return fail(error, bar.line, date_column,
                    "no such day: " + std::to_string(year) + "-" + std::to_string(month) + "-" +
                        std::to_string(day));
      bar.date = qdb::date_serial(year, month, day);
    }
  }
  return true;
}

std::string bar_text(const ImportBar& bar, bool time) {
  int y = 0, m = 0, d = 0;
  qdb::split_date(bar.date, y, m, d);
  char date[48];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", y + 1900, m, d);
  std::string text = date;
  if (time) text += " " + qdb::format_seconds_string(bar.seconds);
  return text;
}

// Sorts each symbol's bars by date and time and refuses one given twice.
bool finish(ImportData& data, ImportError& error) {
  const auto earlier = [](const ImportBar& a, const ImportBar& b) {
    return a.date != b.date ? a.date < b.date : a.seconds < b.seconds;
  };
  for (ImportSymbol& symbol : data.symbols) {
    auto& bars = symbol.bars;
    if (!std::is_sorted(bars.begin(), bars.end(), earlier)) {
      // Newest-first files come in reversed; anything else is sorted, keeping file order.
      if (std::is_sorted(bars.rbegin(), bars.rend(), earlier))
        std::reverse(bars.begin(), bars.end());
      else
        std::stable_sort(bars.begin(), bars.end(), earlier);
    }
    for (std::size_t i = 1; i < bars.size(); ++i) {
      const ImportBar& a = bars[i - 1];
      const ImportBar& b = bars[i];
      if (a.date != b.date || a.seconds != b.seconds) continue;
      const ImportBar& later = a.file > b.file || (a.file == b.file && a.line > b.line) ? a : b;
      const ImportBar& other = &later == &a ? b : a;
      std::string where = "line " + std::to_string(other.line);
      if (other.file != later.file)
        where = qdb::file_name_of(data.files[other.file].path) + " " + where;
      error = ImportError{
          data.files[later.file].path, later.line, 0,
          symbol.symbol + " " + bar_text(later, symbol.has_time) + " is also on " + where};
      return false;
    }
    if (symbol.name.empty()) symbol.name = symbol.symbol;
    if (symbol.periodicity == 0) symbol.periodicity = symbol.has_time ? 'I' : 'D';
  }
  return true;
}

struct Parsing {
  ImportParse result;
  SymbolTable table{result.data};
};

bool parse_one(Parsing& parsing, std::string_view content, const std::string& path,
               const ImportOptions& options, const ImportControl& control) {
  ImportData& data = parsing.result.data;
  FileParser parser(content, path, static_cast<std::uint32_t>(data.files.size()), options, data,
                    parsing.table);
  if (!parser.run(control, parsing.result.error)) {
    // What was found of the file before the line that failed (delimiter, header, roles), so a
    // preview shows it beside the error.
    data.files.push_back(std::move(parser.info()));
    return false;
  }
  ImportFileInfo& info = parser.info();
  const bool has_time = std::find(info.columns.begin(), info.columns.end(), ImportColumn::kTime) !=
                        info.columns.end();
  std::uint8_t values = 0;
  static constexpr ImportColumn kValues[6] = {ImportColumn::kOpen,   ImportColumn::kHigh,
                                              ImportColumn::kLow,    ImportColumn::kClose,
                                              ImportColumn::kVolume, ImportColumn::kOi};
  for (int v = 0; v < 6; ++v)
    if (std::find(info.columns.begin(), info.columns.end(), kValues[v]) != info.columns.end())
      values = static_cast<std::uint8_t>(values | (1u << v));
  // Symbols met in this file: the time and the columns they have.
  for (std::size_t s = 0; s < data.symbols.size(); ++s) {
    const std::size_t start = parser.start(s);
    if (start == kNone) continue;
    ImportSymbol& symbol = data.symbols[s];
    if (start > 0 && symbol.has_time != has_time) {
      parsing.result.error =
          ImportError{path, 0, 0, symbol.symbol + " has times in one file and none in another"};
      return false;
    }
    symbol.has_time = has_time;
    symbol.values = static_cast<std::uint8_t>(symbol.values | values);
  }
  data.files.push_back(std::move(info));
  return true;
}

}  // namespace

bool parse_import_column(std::string_view word, ImportColumn& column) {
  return value_of(kColumnWords, word, column);
}

const char* import_column_word(ImportColumn column) {
  return word_of(kColumnWords, column, "skip");
}

bool parse_import_date_form(std::string_view word, ImportDateForm& form) {
  return value_of(kDateWords, word, form);
}

const char* import_date_form_word(ImportDateForm form) {
  return word_of(kDateWords, form, "detect");
}

std::string ImportError::text() const {
  std::string out = file;
  if (line > 0) out += (out.empty() ? "line " : ":") + std::to_string(line);
  if (column > 0) out += ":" + std::to_string(column);
  return out.empty() ? message : out + ": " + message;
}

ImportParse parse_import(const std::vector<std::string>& paths, const ImportOptions& options,
                         const ImportControl& control) {
  Parsing parsing;
  for (const std::string& path : paths) {
    std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
    std::string content;
    if (file) {
      content.resize(static_cast<std::size_t>(file->size()));
      if (!content.empty() && file->read(content.data(), content.size()) != content.size())
        file.reset();
    }
    if (!file) {
      parsing.result.error = ImportError{path, 0, 0, "the file can't be read"};
      return std::move(parsing.result);
    }
    if (!parse_one(parsing, content, path, options, control)) return std::move(parsing.result);
  }
  if (!finish(parsing.result.data, parsing.result.error)) return std::move(parsing.result);
  parsing.result.ok = true;
  return std::move(parsing.result);
}

ImportParse parse_import_text(std::string_view content, const std::string& file_name,
                              const ImportOptions& options, const ImportControl& control) {
  Parsing parsing;
  if (!parse_one(parsing, content, file_name, options, control) ||
      !finish(parsing.result.data, parsing.result.error))
    return std::move(parsing.result);
  parsing.result.ok = true;
  return std::move(parsing.result);
}

ImportPreview preview_import(std::string_view content, const std::string& file_name,
                             const ImportOptions& options, std::size_t max_lines) {
  ImportPreview preview;
  ImportParse parse = parse_import_text(content, file_name, options);
  preview.ok = parse.ok;
  preview.error = parse.error;
  if (!parse.data.files.empty())
    preview.info = parse.data.files.front();
  else {
    preview.info.path = file_name;
    preview.info.delimiter = options.delimiter != 0 ? options.delimiter : detect_delimiter(content);
  }
  text::Lines lines(content);
  std::string_view line;
  text::Cells cells;
  while (preview.cells.size() < max_lines && lines.next(line)) {
    if (text::is_blank(line)) continue;
    text::split(line, preview.info.delimiter, cells);
    preview.cells.emplace_back(cells.cell.begin(), cells.cell.begin() + cells.count);
  }
  return preview;
}

}  // namespace core
