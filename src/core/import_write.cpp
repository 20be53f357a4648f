// Planning an import against the portfolios and writing it: per portfolio one transaction of
// its data files and index files, under the locks of every portfolio concerned.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <system_error>

#include "core/import.h"
#include "core/master_image.h"
#include "core/portfolio_index.h"
#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/error.h"
#include "qdb/extended_master.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/mbf.h"
#include "qdb/platform.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"
#include "qdb/writer.h"

namespace core {
namespace {

constexpr std::size_t kBatchSyncFiles = 32;
constexpr std::int32_t kMaxQuotes = qdb::kMaxDataRecords - 1;
// A long-form file is told by its last quote stored at 600000 (1 January 1960) or above.
const qdb::DateSerial kFirstLongFormDate = qdb::date_serial(1960, 1, 1);

// An existing symbol's data file, read whole.
struct Existing {
  IndexEntry entry;
  qdb::MasterRecord record;  // stored form
  std::string name;          // the data file's name in the directory
  std::string bytes;
  std::optional<qdb::FileIdentity> identity;
  qdb::SeriesLayout layout;
  int length = 0;
  int fields = 0;
  std::int32_t count = 0;  // whole records the header and the file both hold
  qdb::DateForm form = qdb::DateForm::kTwoDigit;
};

struct SymbolWork {
  const ImportSymbol* symbol = nullptr;
  ImportSymbolPlan plan;
  std::optional<Existing> existing;
  qdb::SeriesLayout layout;  // of a new symbol
};

struct PortfolioWork {
  std::string dir;       // ends in a separator
  std::string sub_name;  // the "<DIR>" name below the root; empty for the root
  bool has_master = false;
  bool has_dir_entry = false;  // the root already lists it
  std::optional<qdb::DirListing> listing;
  std::optional<PortfolioIndex> index;
  std::vector<std::size_t> symbols;  // into Work::symbols
  std::vector<bool> used;            // file numbers taken, by number
  int master_room = 0;               // entries the MASTER can still take
  int dir_number = 0;                // the file number of the root's new "<DIR>" entry
};

struct Work {
  std::string root;
  std::vector<SymbolWork> symbols;
  std::vector<std::unique_ptr<PortfolioWork>> portfolios;  // the root first
  std::vector<std::string> notes;
};

std::string trimmed_symbol(const qdb::MasterRecord& record) {
  std::string text = record.symbol_field();
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// The sub-portfolio of a symbol: its first letter or digit, upper case; "_" for another sign.
std::string letter_of(std::string_view symbol) {
  char c = symbol.empty() ? '_' : symbol.front();
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const bool plain = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  return std::string(1, plain ? c : '_');
}

bool read_whole(const std::string& path, std::string& bytes,
                std::optional<qdb::FileIdentity>& identity) {
  std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return false;
  bytes.resize(static_cast<std::size_t>(file->size()));
  identity = file->identity();
  return bytes.empty() || file->read(bytes.data(), bytes.size()) == bytes.size();
}

ImportError symbol_error(const ImportSymbol& symbol, std::string message) {
  return ImportError{{}, 0, 0, symbol.symbol + ": " + std::move(message)};
}

// The layout of a new symbol: 32 bytes and 8 fields (DATE TIME OPEN HIGH LOW CLOSE VOL OI) with
// times; else the smallest of the layouts a reader knows by record length alone (12: DATE
// CLOSE VOL, 16: DATE HIGH LOW CLOSE, 20: + OPEN, 24: + VOL, 28: + OI) that holds every column
// given. A column the layout holds but the input lacks is written as 0.
void choose_layout(const ImportSymbol& symbol, SymbolWork& work) {
  if (symbol.has_time) {
    for (int field = 0; field < qdb::kFieldCountAll; ++field)
      work.layout.column[field] = static_cast<std::int16_t>(field + 1);
    work.plan.record_length = qdb::kIntradayRecordLength;
    work.plan.field_count = 8;
    return;
  }
  const std::uint8_t v = symbol.values;
  int length = 28;
  if ((v & kImportOi) == 0) length = 24;
  if ((v & (kImportOi | kImportVolume)) == 0) length = 20;
  if ((v & (kImportOi | kImportVolume | kImportOpen)) == 0) length = 16;
  if ((v & (kImportOi | kImportOpen | kImportHigh | kImportLow)) == 0) length = 12;
  work.layout = qdb::default_layout(length);
  work.plan.record_length = length;
  work.plan.field_count = length / 4;
}

std::int64_t key_of(qdb::DateSerial date, std::int32_t seconds) {
  return static_cast<std::int64_t>(date) * 86400 + seconds;
}

void put_real(std::string& out, std::size_t at, int column, float value) {
  if (column <= 0) return;
  qdb::float_to_mbf(value, reinterpret_cast<std::uint8_t*>(out.data()) + at + 4 * (column - 1));
}

// Writes the input's values into a record at out[at] in the layout (columns the input gives).
void put_bar(std::string& out, std::size_t at, const qdb::SeriesLayout& layout,
             const ImportBar& bar, std::uint8_t values) {
  for (int v = 0; v < 6; ++v)
    if ((values & (1u << v)) != 0) put_real(out, at, layout.column[qdb::kOpen + v], bar.values[v]);
}

void put_date(std::string& out, std::size_t at, const qdb::SeriesLayout& layout,
              qdb::DateSerial date, std::int32_t seconds, qdb::DateForm form) {
  put_real(out, at, layout.column[qdb::kDate], qdb::date_to_real(date, form));
  put_real(out, at, layout.column[qdb::kTime], qdb::seconds_to_time_real(seconds));
}

// Merges the input into the symbol's file (or makes a new one): the counts of the plan, and
// with out the complete new data file.
bool merge(SymbolWork& work, const ImportOptions& options, std::string* out, ImportError& error) {
  const ImportSymbol& symbol = *work.symbol;
  const auto& bars = symbol.bars;
  const qdb::SeriesLayout& layout = work.existing ? work.existing->layout : work.layout;
  const int length = work.plan.record_length;
  const auto L = static_cast<std::size_t>(length);
  // Existing quotes by their position, date and time.
  std::vector<std::int64_t> keys;
  std::vector<qdb::DateSerial> dates;
  qdb::DateForm form = qdb::DateForm::kLong;
  if (work.existing) {
    const Existing& ex = *work.existing;
    const bool file_time = ex.layout.column[qdb::kTime] > 0;
    if (file_time != symbol.has_time)
      return error = symbol_error(symbol, file_time ? "its file has times and the input none"
                                                    : "its file has no times and the input has"),
             false;
    keys.reserve(static_cast<std::size_t>(ex.count));
    dates.reserve(static_cast<std::size_t>(ex.count));
    for (std::int32_t i = 0; i < ex.count; ++i) {
      const auto* record = reinterpret_cast<const std::uint8_t*>(ex.bytes.data()) +
                           L * static_cast<std::size_t>(i + 1);
      const qdb::QuoteBar bar = qdb::decode_record(record, length, ex.fields, ex.layout, ex.form);
      keys.push_back(key_of(bar.date, file_time ? qdb::bar_seconds(bar) : 0));
      dates.push_back(bar.date);
    }
    form = ex.form;
  }
  // Counting pass.
  std::int32_t added = 0, matched = 0;
  std::size_t i = 0, j = 0;
  qdb::DateSerial first = 0, last = 0;
  std::int32_t total = 0;
  auto note_date = [&](qdb::DateSerial date) {
    if (first == 0) first = date;
    last = date;
    ++total;
  };
  while (i < keys.size() || j < bars.size()) {
    const std::int64_t in = j < bars.size() ? key_of(bars[j].date, bars[j].seconds) : INT64_MAX;
    if (i < keys.size() && keys[i] < in) {
      note_date(dates[i++]);
    } else if (i < keys.size() && keys[i] == in) {
      ++matched;
      note_date(dates[i++]);
      ++j;
    } else {
      ++added;
      note_date(bars[j++].date);
    }
  }
  work.plan.added = added;
  work.plan.replaced = options.replace ? matched : 0;
  work.plan.kept = options.replace ? 0 : matched;
  work.plan.quotes = total;
  work.plan.first = first;
  work.plan.last = last;
  if (total > kMaxQuotes)
    return error = symbol_error(
               symbol, std::to_string(total) + " quotes; a data file holds at most 65,534"),
           false;
  // A two-digit file stays so while every date fits it; else every date is stored long, which
  // the reader tells by a last quote in 1960 or later.
  const qdb::DateSerial two_digit_end = qdb::date_serial(2059, 12, 31);
  if (form == qdb::DateForm::kTwoDigit && (first < kFirstLongFormDate || last > two_digit_end))
    form = qdb::DateForm::kLong;
  if (total > 0 && last < kFirstLongFormDate)
    return error = symbol_error(symbol,
                                "quotes that all lie before 1960 can't be stored (the files "
                                "would read them as 2000 on)"),
           false;
  if (out == nullptr) return true;

  // Writing pass.
  out->assign(L * static_cast<std::size_t>(total + 1), '\0');
  auto* bytes = reinterpret_cast<std::uint8_t*>(out->data());
  if (work.existing) std::memcpy(bytes, work.existing->bytes.data(), L);
  qdb::write_u16le(bytes + 2, static_cast<std::uint16_t>(total + 1));
  const bool redate = work.existing && work.existing->form != form;
  std::size_t at = L;
  i = j = 0;
  while (i < keys.size() || j < bars.size()) {
    const std::int64_t in = j < bars.size() ? key_of(bars[j].date, bars[j].seconds) : INT64_MAX;
    if (i < keys.size() && keys[i] <= in) {
      std::memcpy(bytes + at, work.existing->bytes.data() + L * (i + 1), L);
      if (redate) put_real(*out, at, layout.column[qdb::kDate], qdb::date_to_real(dates[i], form));
      if (keys[i] == in) {
        if (options.replace) put_bar(*out, at, layout, bars[j], symbol.values);
        ++j;
      }
      ++i;
    } else {
      put_date(*out, at, layout, bars[j].date, bars[j].seconds, form);
      put_bar(*out, at, layout, bars[j], symbol.values);
      ++j;
    }
    at += L;
  }
  return true;
}

// Opens a portfolio for the plan: its listing and, when it has a MASTER, its index files.
bool open_portfolio(PortfolioWork& portfolio, ImportError& error) {
  portfolio.listing.emplace(portfolio.dir);
  portfolio.has_master = qdb::has_master(*portfolio.listing);
  portfolio.used.assign(0x10000, false);
  if (!portfolio.has_master) {
    PortfolioIndex index;
    index.dir = portfolio.dir;
    index.master_path = portfolio.dir + std::string(qdb::kMasterName);
    index.emaster_path = portfolio.dir + "EMASTER";
    index.emaster = qdb::RawIndexFile{};
    index.emaster->header.assign(qdb::kEmasterRecordSize, '\0');
    index.xmaster_path = portfolio.dir + "XMASTER";
    portfolio.index = std::move(index);
  } else {
    qdb::Result<PortfolioIndex> read =
        read_portfolio_index(qdb::master_path(*portfolio.listing), &*portfolio.listing);
    if (!read) {
      error = ImportError{portfolio.dir, 0, 0,
                          read.error().with_cause("the portfolio's index files can't be read")};
      return false;
    }
    portfolio.index = std::move(read).value();
  }
  // Numbers in use: by an entry, or by a quote or layout file lying in the directory.
  const PortfolioIndex& index = *portfolio.index;
  for (const qdb::MasterRecord& record : index.master.records)
    portfolio.used[static_cast<std::size_t>(record.file_number())] = true;
  portfolio.master_room =
      qdb::kMaxSymbols - std::max<int>(index.master.header.count(), index.master.header.count2());
  for (std::size_t i = 0; i < xmaster_count(index); ++i)
    portfolio.used[static_cast<std::size_t>(qdb::xmaster_file_number(index.xmaster->entry(i)))] =
        true;
  return true;
}

// The next free file number, as free_file_number picks it: the lowest free one in the MASTER
// while it has room, then the lowest free one from 256 (the XMASTER). Kept as a bitmap and a
// count of the MASTER's room, as thousands of new symbols would make the search quadratic.
int next_number(PortfolioWork& portfolio) {
  auto free = [&](int n) {
    return !portfolio.used[static_cast<std::size_t>(n)] &&
           !portfolio.listing->contains(qdb::quote_file_name(n)) &&
           !portfolio.listing->contains(qdb::data_file_name(n, "DOP"));
  };
  int n = 0;
  if (portfolio.master_room > 0) {
    for (int k = 1; k <= qdb::kMaxSymbols && n == 0; ++k)
      if (free(k)) n = k;
  }
  if (n == 0) {
    for (int k = qdb::kFirstExtendedNumber; k <= 0xFFFF && n == 0; ++k)
      if (free(k)) n = k;
  }
  if (n == 0) return 0;
  if (n <= qdb::kMaxSymbols) --portfolio.master_room;
  portfolio.used[static_cast<std::size_t>(n)] = true;
  return n;
}

bool read_existing(PortfolioWork& portfolio, IndexEntry entry, Existing& ex, ImportError& error,
                   const ImportSymbol& symbol) {
  ex.entry = entry;
  ex.record = entry_record(*portfolio.index, entry);
  const int number = ex.record.file_number();
  ex.name = qdb::quote_file_name(number);
  ex.length = ex.record.record_length();
  ex.fields = ex.record.field_count();
  const std::string path = portfolio.listing->resolve(ex.name);
  if (ex.length < 4 ||
      qdb::read_layout(portfolio.listing->resolve(qdb::data_file_name(number, "DOP")), ex.layout,
                       ex.length, ex.fields) != qdb::kSuccess ||
      ex.layout.column[qdb::kDate] <= 0)
    return error = symbol_error(symbol, "the layout of its file " + ex.name + " can't be read"),
           false;
  if (!read_whole(path, ex.bytes, ex.identity) || ex.bytes.size() < 4)
    return error = symbol_error(symbol, "its file " + ex.name + " can't be read"), false;
  const auto L = static_cast<std::size_t>(ex.length);
  const std::int32_t header =
      qdb::read_u16le(reinterpret_cast<const std::uint8_t*>(ex.bytes.data()) + 2);
  ex.count = std::max<std::int32_t>(
      0, std::min<std::int32_t>(header, static_cast<std::int32_t>(ex.bytes.size() / L)) - 1);
  ex.form = qdb::DateForm::kTwoDigit;
  if (ex.count > 0) {
    const auto* cell = reinterpret_cast<const std::uint8_t*>(ex.bytes.data()) +
                       L * static_cast<std::size_t>(ex.count) +
                       4 * (ex.layout.column[qdb::kDate] - 1);
    ex.form = qdb::date_form_of(qdb::mbf_to_float(cell));
  }
  return true;
}

bool build(Work& work, const std::string& dir, const ImportData& data, const ImportOptions& options,
           bool with_bytes, std::vector<std::string>* data_bytes, ImportError& error) {
  work.root = qdb::normalize_dir(dir);
  auto root = std::make_unique<PortfolioWork>();
  root->dir = work.root;
  if (!open_portfolio(*root, error)) return false;
  if (!root->has_master) {
    error = ImportError{dir, 0, 0, "holds no MASTER (make one with new-portfolio)"};
    return false;
  }
  work.portfolios.push_back(std::move(root));
  std::map<std::string, std::size_t> by_letter;
  work.symbols.resize(data.symbols.size());
  for (std::size_t s = 0; s < data.symbols.size(); ++s) {
    SymbolWork& sw = work.symbols[s];
    sw.symbol = &data.symbols[s];
    std::size_t p = 0;
    if (options.by_letter) {
      const std::string letter = letter_of(sw.symbol->symbol);
      auto found = by_letter.find(letter);
      if (found == by_letter.end()) {
        auto sub = std::make_unique<PortfolioWork>();
        sub->sub_name = letter;
        PortfolioWork& top = *work.portfolios.front();
        for (const qdb::MasterRecord& record : top.index->master.records)
          if (record.is_directory() && same_text(record.directory_name(), letter)) {
            sub->has_dir_entry = true;
            sub->sub_name = record.directory_name();
          }
        const std::string resolved = top.listing->resolve(sub->sub_name);
        sub->dir = qdb::normalize_dir(resolved);
        if (!open_portfolio(*sub, error)) return false;
        found = by_letter.emplace(letter, work.portfolios.size()).first;
        work.portfolios.push_back(std::move(sub));
      }
      p = found->second;
    }
    PortfolioWork& portfolio = *work.portfolios[p];
    portfolio.symbols.push_back(s);
    sw.plan.symbol = sw.symbol->symbol;
    sw.plan.name = options.name.empty() ? sw.symbol->name : options.name;
    sw.plan.dir = portfolio.dir;
    sw.plan.new_portfolio = !portfolio.has_master;
    const std::optional<IndexEntry> entry =
        find_entry(*portfolio.index, [&](const qdb::MasterRecord& record) {
          return !record.is_directory() && same_text(trimmed_symbol(record), sw.symbol->symbol);
        });
    if (entry) {
      sw.existing.emplace();
      if (!read_existing(portfolio, *entry, *sw.existing, error, *sw.symbol)) return false;
      sw.plan.file_number = sw.existing->record.file_number();
      sw.plan.record_length = sw.existing->length;
      sw.plan.field_count = sw.existing->fields;
      sw.plan.name = trimmed_symbol(sw.existing->record) == sw.plan.symbol
                         ? sw.existing->record.issue_name_field()
                         : sw.plan.name;
      while (!sw.plan.name.empty() && sw.plan.name.back() == ' ') sw.plan.name.pop_back();
      const std::uint8_t lacking = static_cast<std::uint8_t>(sw.symbol->values & ~[&] {
        std::uint8_t held = 0;
        for (int v = 0; v < 6; ++v)
          if (sw.existing->layout.column[qdb::kOpen + v] > 0)
            held |= static_cast<std::uint8_t>(1u << v);
        return held;
      }());
      if (lacking != 0)
        work.notes.push_back(sw.plan.symbol +
                             ": its file lacks some of the columns given; those "
                             "values are not written");
    } else {
      sw.plan.new_symbol = true;
      choose_layout(*sw.symbol, sw);
      sw.plan.file_number = next_number(portfolio);
      if (sw.plan.file_number == 0)
        return error = symbol_error(*sw.symbol, "the portfolio has no free file number"), false;
    }
    std::string* out = nullptr;
    if (with_bytes) {
      data_bytes->emplace_back();
      out = &data_bytes->back();
    }
    if (!merge(sw, options, out, error)) return false;
  }
  // A new "<DIR>" entry takes a MASTER file number and its name as its symbol, as the demo
  // portfolios have them, so the root passes the checks every load runs.
  PortfolioWork& top = *work.portfolios.front();
  for (std::size_t p = 1; p < work.portfolios.size(); ++p) {
    PortfolioWork& sub = *work.portfolios[p];
    if (sub.has_dir_entry) continue;
    sub.dir_number = top.master_room > 0 ? next_number(top) : 0;
    if (sub.dir_number == 0 || sub.dir_number > qdb::kMaxSymbols) {
      error =
          ImportError{dir, 0, 0, "the MASTER has no room for the sub-portfolio " + sub.sub_name};
      return false;
    }
  }
  return true;
}

ImportPlan plan_of(const Work& work) {
  ImportPlan plan;
  for (const SymbolWork& sw : work.symbols) plan.symbols.push_back(sw.plan);
  plan.notes = work.notes;
  return plan;
}

// Adds a new symbol's entry to its portfolio's index.
void add_new_entry(PortfolioIndex& index, const SymbolWork& sw) {
  EntryToAdd entry;
  entry.record = qdb::make_master_record(sw.plan.file_number, sw.plan.symbol, sw.plan.name,
                                         sw.plan.record_length, sw.plan.field_count, sw.plan.first,
                                         sw.plan.last);
  entry.record.bytes[qdb::master_offset::kPeriodicity] =
      static_cast<std::uint8_t>(sw.symbol->periodicity);
  entry.long_name = sw.plan.name;
  add_entry(index, entry, sw.plan.file_number);
}

// Sets an existing entry's first and last dates in every index file that holds it.
void set_entry_dates(PortfolioIndex& index, const SymbolWork& sw) {
  const Existing& ex = *sw.existing;
  const float first = qdb::date_to_real(sw.plan.first);
  const float last = qdb::date_to_real(sw.plan.last);
  const int number = ex.record.file_number();
  if (ex.entry.extended) {
    std::uint8_t* entry = index.xmaster->entry(ex.entry.index);
    qdb::set_xmaster_date(entry, false, first);
    qdb::set_xmaster_date(entry, true, last);
    index.xmaster_changed = true;
    return;
  }
  qdb::MasterRecord& record = index.master.records[ex.entry.index];
  const qdb::MbfReal first_cell = qdb::to_mbf(first), last_cell = qdb::to_mbf(last);
  std::memcpy(record.bytes.data() + qdb::master_offset::kFirstDate, first_cell.bytes, 4);
  std::memcpy(record.bytes.data() + qdb::master_offset::kLastDate, last_cell.bytes, 4);
  index.master_changed = true;
  if (!index.emaster) return;
  for (std::size_t i = 0; i < index.emaster->records.size(); ++i) {
    if (qdb::emaster_file_number(index.emaster->entry(i)) != number) continue;
    qdb::set_emaster_date(index.emaster->entry(i), false, first);
    qdb::set_emaster_date(index.emaster->entry(i), true, last);
    index.emaster_changed = true;
  }
}

qdb::Result<void> write_portfolio(Work& work, PortfolioWork& portfolio,
                                  const std::vector<std::string>& bytes,
                                  std::string& restore_failed) {
  PortfolioIndex& index = *portfolio.index;
  qdb::PortfolioTransaction transaction(*portfolio.listing);
  for (std::size_t s : portfolio.symbols) {
    const SymbolWork& sw = work.symbols[s];
    qdb::Staging how;
    how.temp_name = qdb::data_file_name(sw.plan.file_number, qdb::suffix::kNewExtension);
    // Many new files: one sync of the file system before the commit renames, instead of one
    // each (a sync costs milliseconds however small the file).
    how.defer_sync = portfolio.symbols.size() > kBatchSyncFiles;
    std::string name = qdb::quote_file_name(sw.plan.file_number);
    if (sw.existing) {
      how.expected = sw.existing->identity;
      how.original = sw.existing->bytes;
      name = sw.existing->name;
      set_entry_dates(index, sw);
    } else {
      how.like = portfolio.has_master ? qdb::split_path(index.master_path).second : std::string();
      add_new_entry(index, sw);
    }
    if (qdb::Result<void> staged = transaction.stage(name, bytes[s], how); !staged) return staged;
  }
  if (&portfolio == work.portfolios.front().get()) {
    for (const auto& sub : work.portfolios) {
      if (sub->sub_name.empty() || sub->has_dir_entry) continue;
      qdb::MasterRecord record = qdb::make_directory_record(sub->sub_name);
      record.bytes[qdb::master_offset::kFileNumber] = static_cast<std::uint8_t>(sub->dir_number);
      record.set_symbol(sub->sub_name);
      index.master.records.push_back(record);
      raise_counts(index.master.header);
      index.master_changed = true;
    }
  }
  if (!portfolio.has_master) {
    // A new portfolio: its MASTER and EMASTER are new files (XMASTER when it needs one).
    index.master_changed = index.emaster_changed = true;
  }
  return write_portfolio_index(index, qdb::suffix::kNewIndex, false, &restore_failed, &transaction);
}

}  // namespace

ImportPlan plan_import(const std::string& dir, const ImportData& data,
                       const ImportOptions& options) {
  Work work;
  ImportPlan plan;
  if (!build(work, dir, data, options, false, nullptr, plan.error)) return plan;
  plan = plan_of(work);
  plan.ok = true;
  return plan;
}

ImportResult write_import(const std::string& dir, const ImportData& data,
                          const ImportOptions& options, const ImportControl& control) {
  ImportResult result;
  const std::string root = qdb::normalize_dir(dir);
  // Sub-portfolios are made as directories first, so they can be locked with the root.
  std::vector<std::string> lock_dirs{root};
  std::vector<std::string> created;
  if (options.by_letter) {
    const qdb::DirListing listing(root);
    for (const ImportSymbol& symbol : data.symbols) {
      const std::string letter = letter_of(symbol.symbol);
      const std::string sub = listing.resolve(letter);
      if (std::find(lock_dirs.begin(), lock_dirs.end(), sub) != lock_dirs.end()) continue;
      lock_dirs.push_back(sub);
      std::error_code ec;
      if (std::filesystem::create_directory(std::filesystem::path(sub), ec)) created.push_back(sub);
    }
  }
  const auto remove_created = [&] {
    std::error_code ec;
    for (const std::string& sub : created)
      if (std::filesystem::is_empty(sub, ec)) std::filesystem::remove(sub, ec);
  };
  qdb::PortfolioLock lock(lock_dirs);
  if (!lock.locked()) {
    result.plan.error = ImportError{dir, 0, 0, lock.failure()};
    remove_created();
    return result;
  }
  Work work;
  std::vector<std::string> bytes;
  bytes.reserve(data.symbols.size());
  if (!build(work, dir, data, options, true, &bytes, result.plan.error)) {
    remove_created();
    return result;
  }
  result.plan = plan_of(work);
  result.plan.ok = true;
  // Sub-portfolios first, the root (with their "<DIR>" entries) last.
  std::vector<PortfolioWork*> order;
  for (std::size_t p = 1; p < work.portfolios.size(); ++p)
    order.push_back(work.portfolios[p].get());
  order.push_back(work.portfolios.front().get());
  std::uint64_t done = 0;
  for (PortfolioWork* portfolio : order) {
    if (control.cancel != nullptr && control.cancel->load()) {
      result.plan.error = ImportError{{}, 0, 0, "cancelled"};
      if (done == 0) remove_created();
      return result;
    }
    const bool root_without_change = portfolio == work.portfolios.front().get() &&
                                     portfolio->symbols.empty() && work.portfolios.size() == 1;
    if (root_without_change) continue;
    if (const qdb::Result<void> written =
            write_portfolio(work, *portfolio, bytes, result.restore_failed);
        !written) {
      result.plan.error = ImportError{
          {},
          0,
          0,
          written.error().with_cause(done == 0 ? "import failed; nothing was written"
                                               : "import failed in " + portfolio->dir +
                                                     "; the portfolios before it were written")};
      if (done == 0) remove_created();
      return result;
    }
    ++done;
    if (control.progress) control.progress(done, order.size());
  }
  result.ok = true;
  return result;
}

bool create_new_portfolio(const std::string& dir, ImportError& error) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(dir), ec);
  const std::string folder = qdb::normalize_dir(dir);
  qdb::PortfolioLock lock({folder});
  if (!lock.locked()) {
    error = ImportError{dir, 0, 0, lock.failure()};
    return false;
  }
  const qdb::DirListing listing(folder);
  if (!listing.ok()) {
    error = ImportError{dir, 0, 0, "the directory can't be made or read"};
    return false;
  }
  if (qdb::has_master(listing)) {
    error = ImportError{dir, 0, 0, "already holds a MASTER"};
    return false;
  }
  qdb::PortfolioTransaction transaction(listing);
  const qdb::MasterHeader header;
  const std::string master(header.bytes.begin(), header.bytes.end());
  const std::string emaster(qdb::kEmasterRecordSize, '\0');
  qdb::Result<void> written = transaction.stage("EMASTER", emaster);
  if (written) written = transaction.stage(qdb::kMasterName, master);
  if (written) written = transaction.commit();
  if (!written) {
    error = ImportError{dir, 0, 0, written.error().with_cause("the portfolio can't be written")};
    return false;
  }
  return true;
}

}  // namespace core
