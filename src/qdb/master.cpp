// MASTER records and the lookup of a symbol anywhere in a MASTER tree.
#include "qdb/master.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/lookup_detail.h"
#include "qdb/master_file.h"
#include "qdb/mbf.h"
#include "qdb/platform.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/text.h"

namespace qdb {
namespace {

using namespace master_offset;

constexpr char kDirMark[] = "<DIR>";
constexpr int kDirMarkOffset = 18;
constexpr int kDirNameWidth = 8;

// The walk keeps one resume mark per level; deeper trees are not entered, so neither a deep
// tree nor a MASTER that leads back into its own directory can make the lookup run away.
constexpr std::size_t kMaxLevels = 64;
// Upper bound of subdirectories entered by one lookup. A tree of real portfolios stays far
// below it; directories linked back into the tree could otherwise multiply the walk.
constexpr int kMaxDirectoriesEntered = 4096;

std::string field_text(const MasterRecord& record, int offset) {
  return std::string(reinterpret_cast<const char*>(record.bytes.data() + offset), kTextWidth);
}

void write_field(MasterRecord& record, int offset, std::string_view text) {
  // The text, cut to the field, then blanks.
  std::uint8_t* field = record.bytes.data() + offset;
  const std::size_t kept = std::min<std::size_t>(text.size(), kTextWidth);
  if (kept > 0) std::memcpy(field, text.data(), kept);
  std::memset(field + kept, ' ', kTextWidth - kept);
}

// Texts in the file are compared as far as a terminating zero byte, as the format's writers
// treat them (some pad a symbol with a zero byte and then blanks).
std::string_view up_to_zero(std::string_view text) {
  const std::size_t zero = text.find('\0');
  return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// A subdirectory name from a MASTER is followed only when it names a directory directly
// inside the current one: never "." or "..", nothing holding a separator or drive colon, no
// control characters (a zero byte would cut the path short).
bool is_safe_component(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || c == ':' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

// One directory of the walk: its text, its listing (taken once per lookup) and its resume
// mark (0 = not scanned yet, above the header's count = exhausted).
struct Level {
  explicit Level(std::string d) : dir(d), listing(std::move(d)) {}
  Level(std::string d, const DirListing& listed) : dir(std::move(d)), listing(listed) {}
  std::string dir;
  DirListing listing;
  int mark = 0;
  std::vector<std::string> entered;  // subdirectories already walked from here
};

}  // namespace

std::string MasterRecord::issue_name_field() const { return field_text(*this, kIssueName); }
std::string MasterRecord::symbol_field() const { return field_text(*this, kSymbol); }
void MasterRecord::set_issue_name(std::string_view name) { write_field(*this, kIssueName, name); }
void MasterRecord::set_symbol(std::string_view symbol) { write_field(*this, kSymbol, symbol); }

bool MasterRecord::is_directory() const {
  if (bytes[kIssueName] == ' ') return false;
  return std::equal(std::begin(kDirMark), std::end(kDirMark) - 1, bytes.begin() + kDirMarkOffset,
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::string MasterRecord::directory_name() const {
  // Like the other texts, the name ends at a zero byte when its writer padded it with zeros.
  std::string name(up_to_zero(
      std::string_view(reinterpret_cast<const char*>(bytes.data() + kIssueName), kDirNameWidth)));
  return trim_right(name);
}

std::uint16_t MasterHeader::count() const { return read_u16le(bytes.data()); }
std::uint16_t MasterHeader::count2() const { return read_u16le(bytes.data() + 2); }
void MasterHeader::set_count(std::uint16_t n) { write_u16le(bytes.data(), n); }
void MasterHeader::set_count2(std::uint16_t n) { write_u16le(bytes.data() + 2, n); }

std::string normalize_dir(std::string_view dir) {
  std::string out(dir);
  if (out.empty()) return out;
  if (platform_is_separator(out.back())) return out;
  out += kSeparator;
  return out;
}

bool symbol_matches(const MasterRecord& record, std::string_view key) {
  // Compared in place, with no copy of either text: the lookups and the duplicate check run
  // this over every entry of an XMASTER of thousands.
  auto field = [&record](int offset) {
    return up_to_zero(
        std::string_view(reinterpret_cast<const char*>(record.bytes.data() + offset), kTextWidth));
  };
  std::string_view name = field(kIssueName);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (equals_ignore_case(key, name)) return true;
  // The symbol is compared up to the blank after as many blanks as the key holds, so a key
  // without blanks matches "IBM X" and "BRK A" is compared with the symbol's first two words.
  const std::string_view symbol = field(kSymbol);
  const int blanks = count_char(key, ' ');
  const auto length = static_cast<std::size_t>(prefix_before(symbol, ' ', blanks + 1));
  return equals_ignore_case(key, symbol.substr(0, length));
}

namespace {

// Whether the real path of sub (links and ".." resolved) lies strictly inside that of dir.
bool stays_inside(const std::string& sub, const std::string& dir) {
  const std::optional<std::string> real_sub = platform_real_path(sub);
  const std::optional<std::string> real_dir =
      platform_real_path(dir.empty() ? std::string(".") : dir);
  if (!real_sub || !real_dir) return false;
  std::string prefix = *real_dir;
  if (prefix.empty() || prefix.back() != kSeparator) prefix += kSeparator;
  return real_sub->size() > prefix.size() && real_sub->compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

namespace detail {

void dates_to_native(MasterRecord& record) {
  mbf_to_ieee(record.bytes.data() + kFirstDate, record.bytes.data() + kFirstDate);
  mbf_to_ieee(record.bytes.data() + kLastDate, record.bytes.data() + kLastDate);
}

MasterRecord master_record_at(const std::vector<std::uint8_t>& buffer, std::size_t index) {
  MasterRecord record;
  std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(index * kMasterRecordSize),
              kMasterRecordSize, record.bytes.begin());
  return record;
}

std::size_t read_master_records(ReadFile& file, std::size_t first, std::size_t count,
                                std::vector<std::uint8_t>& buffer) {
  buffer.resize(count * kMasterRecordSize);
  if (count == 0) return 0;
  if (!file.seek(static_cast<std::uint64_t>(first) * kMasterRecordSize)) return 0;
  return file.read(buffer.data(), buffer.size()) / kMasterRecordSize;
}

StatusCode find_symbol_listed(std::string_view root, std::string_view key, MasterRecord& record_out,
                              std::string& dir_out, std::optional<DirListing>& listing_out,
                              int file_number, const DirListing* root_listing) {
  // An entry addressed by its file number is looked for in the root's own index files only.
  if (file_number != 0) {
    DirListing listing(normalize_dir(root));
    const PortfolioLookup own(listing);
    const MasterRecord* found = own.ok() ? own.find(key, file_number) : nullptr;
    if (found == nullptr) return kFileNotFound;
    record_out = *found;
    dir_out = listing.dir();
    listing_out.emplace(std::move(listing));
    return kSuccess;
  }
  auto wanted = [&](const MasterRecord& record) { return symbol_matches(record, key); };
  FileSystem& fs = file_system();
  std::vector<Level> levels;
  levels.reserve(kMaxLevels);
  std::string root_dir = normalize_dir(root);
  if (root_listing != nullptr && root_listing->dir() == root_dir)
    levels.emplace_back(std::move(root_dir), *root_listing);
  else
    levels.emplace_back(std::move(root_dir));
  int entered_total = 0;
  std::vector<std::uint8_t> buffer;

  for (;;) {
    Level& level = levels.back();
    bool descended = false;
    int n = 0;
    {
      std::unique_ptr<ReadFile> file = fs.open_read(master_path(level.listing));
      MasterHeader header;
      if (file && file->read(header.bytes.data(), kMasterRecordSize) == kMasterRecordSize) {
        n = header.count();
        if (level.mark == 0) {
          // First visit: every symbol entry is compared before any subdirectory is entered.
          const std::size_t got =
              read_master_records(*file, 1, static_cast<std::size_t>(n), buffer);
          bool dir_seen = false;
          for (int i = 1; i <= n; ++i) {
            if (static_cast<std::size_t>(i) > got) {  // short MASTER: nothing more here
              level.mark = 1;
              n = 0;
              break;
            }
            MasterRecord record = master_record_at(buffer, static_cast<std::size_t>(i - 1));
            if (record.is_directory()) {
              if (!dir_seen) level.mark = i;
              dir_seen = true;
            } else if (wanted(record)) {
              dates_to_native(record);
              record_out = record;
              dir_out = level.dir;
              listing_out.emplace(std::move(level.listing));  // the walk ends here
              return kSuccess;
            }
          }
          if (!dir_seen && n > 0) level.mark = n + 1;
          if (n == 0) level.mark = 1;
          // The symbols an XMASTER lists beyond the MASTER's come next, still before any
          // subdirectory.
          if (level.listing.contains("XMASTER")) {
            const auto extended = read_xmaster_entries(level.listing.resolve("XMASTER"));
            for (const MasterRecord& entry : extended.value_or(std::vector<MasterRecord>{})) {
              if (!wanted(entry)) continue;
              record_out = entry;
              dates_to_native(record_out);
              dir_out = level.dir;
              listing_out.emplace(std::move(level.listing));  // the walk ends here
              return kSuccess;
            }
          }
        }
        // Subdirectory walk from the resume mark.
        if (level.mark >= 1 && level.mark <= n) {
          const auto first = static_cast<std::size_t>(level.mark);
          const std::size_t wanted = static_cast<std::size_t>(n) - first + 1;
          const std::size_t got = read_master_records(*file, first, wanted, buffer);
          for (std::size_t i = 0; level.mark <= n; ++i) {
            if (i >= got) return kFileRead;
            const MasterRecord record = master_record_at(buffer, i);
            ++level.mark;
            if (!record.is_directory()) continue;
            const std::string name = record.directory_name();
            if (!is_safe_component(name) || levels.size() >= kMaxLevels ||
                entered_total >= kMaxDirectoriesEntered) {
              continue;
            }
            const std::string component = level.listing.resolve(name).substr(level.dir.size());
            if (std::find(level.entered.begin(), level.entered.end(), component) !=
                level.entered.end()) {
              continue;
            }
            level.entered.push_back(component);
            ++entered_total;
            const std::string sub = level.dir + component + kSeparator;
            // A link may lead anywhere: only a directory whose real path lies inside this
            // MASTER's own directory is a sub-portfolio of it.
            if (!stays_inside(sub, level.dir)) continue;
            levels.emplace_back(sub);  // invalidates level
            descended = true;
            break;
          }
        }
      } else {
        level.mark = 1;  // no MASTER here: the directory is skipped
        n = 0;
      }
    }
    if (descended) continue;
    // This directory is exhausted.
    if (levels.size() == 1) return kFileNotFound;
    levels.pop_back();
  }
}

}  // namespace detail

StatusCode find_symbol(std::string_view root, std::string_view key, MasterRecord& record_out,
                       std::string& dir_out, int file_number) {
  std::optional<DirListing> listing;
  return detail::find_symbol_listed(root, key, record_out, dir_out, listing, file_number);
}

}  // namespace qdb
