// The column layout of a data file: from its DOP file, or from the record length.
#include "qdb/layout.h"
#include "qdb/extended_master.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "qdb/file_system.h"
#include "qdb/lookup_detail.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"

namespace qdb {
namespace {

// DOP lines are read in pieces of at most this many characters; a longer line is cut into
// pieces that are each taken as a line.
constexpr std::size_t kDopLinePiece = 299;
// A DOP file lists a handful of lines; more than this is not a layout and is not read.
constexpr std::size_t kMaxDopBytes = 1 << 20;
constexpr int kProbeRecordLength = 20;

constexpr std::string_view kKeywords[kFieldCountAll] = {"DATE", "TIME",  "OPEN", "HIGH",
                                                        "LOW",  "CLOSE", "VOL",  "OI"};

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The keyword compared over its own length, without regard to case.
bool starts_with_keyword(std::string_view text, std::string_view keyword) {
  if (text.size() < keyword.size()) return false;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (upper(text[i]) != keyword[i]) return false;
  }
  return true;
}

// A decimal integer as the C library reads one: leading white space, an optional sign,
// digits up to the first other character, 0 without digits. Kept to 16 bits.
std::int16_t parse_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint16_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[i] - '0'));
  }
  if (negative) value = static_cast<std::uint16_t>(0u - value);
  return static_cast<std::int16_t>(value);
}

void parse_dop_line(std::string_view line, SeriesLayout& layout, int& column) {
  // A piece holding a zero byte ends there, as a text read from the file would.
  line = line.substr(0, line.find('\0'));
  if (line.empty() || line.front() != '"') return;
  // Pieces between commas: field text, input format, display format. Missing ones read 0.
  std::string_view pieces[3];
  std::string_view rest = line;
  for (int p = 0; p < 3; ++p) {
    const std::size_t comma = rest.find(',');
    pieces[p] = rest.substr(0, comma);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  const std::string_view field = pieces[0].substr(1);
  for (int f = 0; f < kFieldCountAll; ++f) {
    if (!starts_with_keyword(field, kKeywords[f])) continue;
    layout.column[f] = static_cast<std::int16_t>(column);
    if (column < INT16_MAX) ++column;
    layout.input_format[f] = parse_number(pieces[1]);
    layout.display_format[f] = parse_number(pieces[2]);
    return;
  }
}

// Columns must lie inside the record and the dates must have a column: a layout that breaks
// either would read past the record or take a date from nowhere.
bool usable(const SeriesLayout& layout, int record_length) {
  if (record_length < 4) return false;
  if (layout.column[kDate] <= 0) return false;
  for (int f = 0; f < kFieldCountAll; ++f) {
    if (layout.column[f] < 0 || 4 * layout.column[f] > record_length) return false;
  }
  return true;
}

void set_columns(SeriesLayout& layout, std::initializer_list<Field> fields) {
  std::int16_t column = 1;
  for (Field f : fields) layout.column[f] = column++;
}

// Which of the two 20-byte layouts the data file holds, from its first quote: a fifth
// column that is non-zero and at most twice the second is a price, otherwise a volume.
bool probe_has_open(ReadFile& file) {
  std::uint8_t buffer[kProbeRecordLength] = {};
  // Both reads go to the same buffer: a file without quotes is judged on its header bytes,
  // or on as much of the first quote as there is.
  file.read(buffer, sizeof buffer);
  file.read(buffer, sizeof buffer);
  const float second = mbf_to_float(buffer + 4);
  const float fifth = mbf_to_float(buffer + 16);
  return fifth != 0.0f && fifth <= 2.0f * second;
}

// The layout that follows from the record length alone (no DOP file). A field count below 0
// means the caller does not know it.
bool default_layout(SeriesLayout& layout, int record_length, int field_count,
                    const std::string& dat_path) {
  switch (record_length) {
    case 12:
      set_columns(layout, {kDate, kClose, kVol});
      return true;
    case 16:
      set_columns(layout, {kDate, kHigh, kLow, kClose});
      return true;
    case 18:
      set_columns(layout, {kDate, kClose});
      return true;
    case 24:
      set_columns(layout, {kDate, kOpen, kHigh, kLow, kClose, kVol});
      return true;
    case 28:
      set_columns(layout, {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi});
      return true;
    case kIntradayRecordLength:
      // Intraday files of 8 fields carry all eight in their fixed order; other 32-byte
      // records have no sound default.
      if (field_count != kFieldCountAll) return false;
      set_columns(layout, {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi});
      return true;
    case 20: {
      const std::unique_ptr<ReadFile> dat = file_system().open_read(dat_path);
      if (!dat) return false;
      if (probe_has_open(*dat)) {
        set_columns(layout, {kDate, kOpen, kHigh, kLow, kClose});
      } else {
        set_columns(layout, {kDate, kHigh, kLow, kClose, kVol});
      }
      return true;
    }
    default:
      return false;
  }
}

std::string read_dop_text(ReadFile& file) {
  std::string text;
  char chunk[4096];
  while (text.size() < kMaxDopBytes) {
    const std::size_t got = file.read(chunk, sizeof chunk);
    if (got == 0) break;
    text.append(chunk, got);
  }
  if (text.size() > kMaxDopBytes) text.resize(kMaxDopBytes);
  return text;
}

// Builds the layout from the DOP file at dop_path, or from the record length (probing the
// data file at dat_path for length 20) when the DOP does not open.
// dop_listed false: the directory's listing holds no layout file, so none is looked for.
StatusCode build_layout(const std::string& dop_path, const std::string& dat_path,
                        SeriesLayout& layout, int record_length, int field_count,
                        bool dop_listed = true) {
  layout = SeriesLayout{};
  bool built = false;
  if (!dop_listed) {
    built = default_layout(layout, record_length, field_count, dat_path);
  } else if (const std::unique_ptr<ReadFile> dop = file_system().open_read(dop_path)) {
    parse_dop_text(read_dop_text(*dop), layout);
    built = true;
  } else if (file_system().identity(dop_path)) {
    // A layout file that is there but does not open (no regular file, no permission) says
    // nothing for the record length's default to stand in for.
    return kLayoutUnknown;
  } else {
    built = default_layout(layout, record_length, field_count, dat_path);
  }
  if (!built || !usable(layout, record_length)) {
    layout = SeriesLayout{};
    return kLayoutUnknown;
  }
  return kSuccess;
}

}  // namespace

void parse_dop_text(std::string_view text, SeriesLayout& layout) {
  int column = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // One piece: through the next line feed, or kDopLinePiece characters.
    const std::size_t limit = std::min(text.size(), pos + kDopLinePiece);
    std::size_t end = text.find('\n', pos);
    end = (end == std::string_view::npos || end >= limit) ? limit : end + 1;
    parse_dop_line(text.substr(pos, end - pos), layout, column);
    pos = end;
  }
}

StatusCode read_layout(const std::string& dop_path, SeriesLayout& layout, int record_length) {
  return read_layout(dop_path, layout, record_length, -1);
}

StatusCode read_layout(const std::string& dop_path, SeriesLayout& layout, int record_length,
                       int field_count) {
  auto [dir, name] = split_path(dop_path);
  const DirListing listing(dir);
  // The data file beside it: the layout name with its last two characters made "AT".
  std::string dat_name = name;
  if (dat_name.size() >= 2) dat_name.replace(dat_name.size() - 2, 2, "AT");
  return build_layout(listing.resolve(name), listing.resolve(dat_name), layout, record_length,
                      field_count);
}

namespace detail {

StatusCode read_layout_listed(const DirListing& listing, int file_number, SeriesLayout& layout,
                              int record_length, int field_count) {
  // Most data files have no layout file: the listing says so without a failed open and a
  // look at the name for each.
  const std::string dop = data_file_name(file_number, "DOP");
  return build_layout(listing.resolve(dop), listing.resolve(quote_file_name(file_number)), layout,
                      record_length, field_count, !listing.ok() || listing.contains(dop));
}

}  // namespace detail

}  // namespace qdb
