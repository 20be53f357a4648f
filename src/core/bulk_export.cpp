#include "core/bulk_export.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <unordered_set>
#include <utility>

#include "core/symbol_rows.h"
#include "qdb/dat.h"
#include "qdb/error.h"
#include "qdb/file_system.h"
#include "qdb/series_problem.h"

namespace core {

namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

bool unsafe_byte(unsigned char c) {
  constexpr std::string_view kReserved = "/\\<>:\"|?*";
  return c < 0x20 || c >= 0x7F || kReserved.find(static_cast<char>(c)) != std::string_view::npos;
}

bool dot_or_blank(char c) { return c == '.' || c == ' '; }

// Whether name (any case) is one of the device names Windows keeps for itself.
bool windows_device_name(std::string_view name) {
  const std::string lower = folded(name);
  constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
  if (std::find(kPlain.begin(), kPlain.end(), lower) != kPlain.end()) return true;
  return lower.size() == 4 && (lower.starts_with("com") || lower.starts_with("lpt")) &&
         lower[3] >= '0' && lower[3] <= '9';
}

// The size of the pieces handed on, as the export's own.
constexpr std::size_t kPiece = 64 * 1024;

// The temporary name of an output file, as the single export's is.
std::string temp_name_of(const std::string& target) { return target + ".tmp~"; }

// Passes the exported text on with each line led by prefix and, when time_fill is not empty,
// with time_fill put after the line's first column (the date): the single file's SYMBOL
// column, and the TIME column of a series that has no times.
class LineRewriter {
 public:
  LineRewriter(const ExportSink& out, std::string prefix, std::string time_fill, char delimiter)
      : m_out(out),
        m_prefix(std::move(prefix)),
        m_time_fill(std::move(time_fill)),
        m_delimiter(delimiter) {
    m_buffer.reserve(kPiece + kPiece / 2);
  }

  bool operator()(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
      if (m_line_start) {
        m_buffer += m_prefix;
        m_line_start = false;
        m_in_date = !m_time_fill.empty();
      }
      if (m_in_date) {
        // The date holds no delimiter: the first delimiter or line end closes it.
        const std::size_t end = text.find_first_of(std::string_view(m_stops, 2), at);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        m_buffer.append(text.substr(at, stop - at));
        at = stop;
        if (stop == text.size()) break;
        m_buffer += m_delimiter;
        m_buffer += m_time_fill;
        m_in_date = false;
        continue;
      }
      const std::size_t newline = text.find('\n', at);
      const std::size_t stop = newline == std::string_view::npos ? text.size() : newline + 1;
      m_buffer.append(text.substr(at, stop - at));
      at = stop;
      if (newline != std::string_view::npos) m_line_start = true;
    }
    return flush(kPiece);
  }

  // Hands what is held to out once it reaches at_least bytes (0: whatever is held).
  bool flush(std::size_t at_least = 0) {
    if (m_buffer.empty() || m_buffer.size() < at_least) return true;
    const bool ok = m_out(m_buffer);
    m_buffer.clear();
    return ok;
  }

 private:
  const ExportSink& m_out;
  std::string m_prefix;
  std::string m_time_fill;
  char m_delimiter;
  char m_stops[2] = {m_delimiter, '\r'};  // what ends the date
  std::string m_buffer;
  bool m_line_start = true;
  bool m_in_date = false;
};

// The symbol as the single file's first column: a delimiter inside it would shift the row's
// columns, so it becomes '_'.
std::string symbol_column(const std::string& symbol, char delimiter) {
  std::string out = symbol;
  std::replace(out.begin(), out.end(), delimiter, '_');
  return out;
}

void report(const BulkExportRequest& request, std::size_t done, std::size_t total,
            const std::string& symbol) {
  if (request.progress) request.progress(done, total, symbol);
}

bool cancelled(const BulkExportRequest& request) {
  return request.cancel != nullptr && request.cancel->load(std::memory_order_relaxed);
}

// "<name of file>: <system's text for error>" (EIO when error is 0).
std::string cause_of(const std::string& file, int error) {
  return qdb::error_of(file, error != 0 ? error : EIO).cause;
}

// The failed step's own cause, or one naming file and error when it has none (a writer that
// gave up for a reason of its own).
std::string cause_of(const qdb::Error& failed, const std::string& file, int error) {
  return failed.cause.empty() ? cause_of(file, error) : failed.cause;
}

// A symbol whose series did not open; the cause names its layout or data file when that is no
// regular file.
BulkExportSkip skip_of(const BulkExportPlan& plan, const BulkExportItem& item,
                       qdb::StatusCode status) {
  BulkExportSkip skip;
  skip.symbol = item.symbol;
  skip.file_number = item.file_number;
  skip.status = status;
  skip.cause = qdb::not_regular_entry_cause(plan.listing(), plan.entries().all()[item.entry]);
  return skip;
}

enum class Walk { kDone, kCancelled, kStopped };

// Goes through the plan's symbols in order. A cancel seen before a symbol ends the walk; a
// symbol whose series does not open is recorded as skipped; every other one's reader goes to
// each(item, reader), which answers false to stop the walk. Progress is reported after each
// symbol that is done or skipped.
template <typename Each>
Walk for_each_series(const BulkExportPlan& plan, const BulkExportRequest& request,
                     BulkExportResult& result, Each&& each) {
  const std::vector<BulkExportItem>& items = plan.items();
  const std::vector<qdb::MasterRecord>& entries = plan.entries().all();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const BulkExportItem& item = items[i];
    if (cancelled(request)) return Walk::kCancelled;
    qdb::SeriesReader reader;
    const qdb::StatusCode opened = reader.open(plan.listing(), entries[item.entry]);
    if (opened != qdb::kSuccess) {
      result.skipped.push_back(skip_of(plan, item, opened));
    } else if (!each(item, reader)) {
      return Walk::kStopped;
    }
    report(request, i + 1, items.size(), item.symbol);
  }
  return cancelled(request) ? Walk::kCancelled : Walk::kDone;
}

BulkExportResult run_per_symbol(const BulkExportPlan& plan, const BulkExportRequest& request) {
  BulkExportResult result;
  qdb::FileSystem& files = qdb::file_system();
  const std::string out_dir = qdb::normalize_dir(request.out_dir);

  // A file replaced under force keeps the name it has, whatever its case, so a disk that
  // ignores case and one that does not end up alike. One listing serves every name.
  const qdb::DirListing existing(out_dir);

  // Every file is written beside its target first; a staged file not committed is removed
  // when it goes away, so any early return below leaves no temporary file.
  std::vector<std::unique_ptr<qdb::StagedFile>> staged;
  staged.reserve(plan.items().size());
  const Walk walk = for_each_series(
      plan, request, result, [&](const BulkExportItem& item, qdb::SeriesReader& reader) {
        const std::string target = existing.resolve(item.file_name);
        // Output files are new or replaced wholesale: a new one takes the default permission
        // bits, a replaced one keeps those of the file it replaces.
        auto file = std::make_unique<qdb::StagedFile>(target, temp_name_of(target));
        file->defer_syncs();
        if (!existing.contains(item.file_name)) file->take_default_mode();
        ExportResult exported;
        const qdb::Result<void> written = file->write([&](qdb::WriteFile& out) {
          exported = export_quotes(
              reader, item.symbol, request.options,
              [&out](std::string_view text) { return out.write(text.data(), text.size()); });
          return exported.written;
        });
        if (!written) {
          result.outcome = BulkExportOutcome::kFailed;
          result.failure = "For symbol " + item.symbol + ", " + item.file_name +
                           " was not written\n" + cause_of(written.error(), target, errno);
          return false;
        }
        staged.push_back(std::move(file));
        return true;
      });
  if (walk == Walk::kCancelled) result.outcome = BulkExportOutcome::kCancelled;
  if (walk != Walk::kDone) return result;

  // Every new file reaches the disk before any takes its name: one call for them all where the
  // host has one (the staged files synced themselves otherwise).
  if (!staged.empty() && files.can_sync_all()) {
    errno = 0;
    if (!files.sync_all(out_dir)) {
      result.outcome = BulkExportOutcome::kFailed;
      result.failure = "The exported files could not be synced to the disk\n" +
                       cause_of(out_dir.empty() ? "." : out_dir, errno);
      return result;
    }
  }
  for (const auto& file : staged) {
    if (const qdb::Result<void> committed = file->commit(false); !committed) {
      result.outcome = BulkExportOutcome::kFailed;
      result.failure = qdb::file_name_of(file->target()) + " could not take its place (" +
                       std::to_string(result.written) + " of " + std::to_string(staged.size()) +
                       " files were in place)\n" +
                       cause_of(committed.error(), file->target(), errno);
      break;
    }
    ++result.written;
  }
  if (result.written > 0 && !files.sync_directory(out_dir)) {
    // The renames have happened; only their durability is in doubt.
    if (result.outcome == BulkExportOutcome::kDone) {
      result.outcome = BulkExportOutcome::kFailed;
      result.failure = "The output directory could not be synced to the disk\n" +
                       cause_of(out_dir.empty() ? "." : out_dir, errno);
    }
  }
  return result;
}

BulkExportResult run_single(const BulkExportPlan& plan, const BulkExportRequest& request) {
  BulkExportResult result;
  const char delimiter = export_delimiter(request.options.delimiter);
  ExportOptions options = request.options;
  options.title = false;
  // An existing file whose name differs only in case is replaced under its own name.
  const std::string target = qdb::resolve_path(request.single_file);

  bool stopped = false;
  std::string failed_symbol;
  qdb::StagedFile file(target, temp_name_of(target));
  qdb::Result<void> written = file.write([&](qdb::WriteFile& out) {
    const ExportSink to_file = [&out](std::string_view text) {
      return out.write(text.data(), text.size());
    };
    if (request.options.title) {
      std::string title(kBulkExportSymbolTitle);
      title += delimiter;
      title += export_title_row(request.options);
      title += kExportLineEnd;
      if (!to_file(title)) return false;
    }
    const Walk walk = for_each_series(
        plan, request, result, [&](const BulkExportItem& item, qdb::SeriesReader& reader) {
          // Every row has the TIME column the title names; a series without times has none to
          // give.
          const bool fill_time = options.time && !reader.has_time();
          LineRewriter rows(to_file, symbol_column(item.symbol, delimiter) + delimiter,
                            fill_time ? "N/A" : "", delimiter);
          const ExportSink sink = [&rows](std::string_view text) { return rows(text); };
          const ExportResult exported = export_quotes(reader, item.symbol, options, sink);
          if (!exported.written || !rows.flush()) {
            failed_symbol = item.symbol;
            return false;
          }
          ++result.written;
          return true;
        });
    stopped = walk == Walk::kCancelled;
    if (walk != Walk::kDone) return false;
    return true;
  });
  if (stopped) {
    result.outcome = BulkExportOutcome::kCancelled;
    result.written = 0;
    return result;
  }
  if (written) written = file.commit();
  if (!written) {
    result.outcome = BulkExportOutcome::kFailed;
    result.written = 0;
    std::string what = qdb::file_name_of(target) + " was not written";
    if (!failed_symbol.empty()) what = "For symbol " + failed_symbol + ", " + what;
    result.failure = what + "\n" + cause_of(written.error(), target, errno);
  }
  return result;
}

}  // namespace

std::string bulk_export_stem(std::string_view symbol) {
  // The index pads its fields with blanks.
  while (!symbol.empty() && symbol.front() == ' ') symbol.remove_prefix(1);
  while (!symbol.empty() && symbol.back() == ' ') symbol.remove_suffix(1);
  std::string stem(symbol.substr(0, kBulkExportStemMax));
  for (char& c : stem)
    if (unsafe_byte(static_cast<unsigned char>(c))) c = '_';
  if (stem.empty()) stem.push_back('_');
  if (dot_or_blank(stem.front())) stem.front() = '_';
  if (dot_or_blank(stem.back())) stem.back() = '_';
  const std::size_t dot = stem.find('.');
  const std::size_t device_end = dot == std::string::npos ? stem.size() : dot;
  if (windows_device_name(std::string_view(stem).substr(0, device_end))) {
    stem.insert(device_end, 1, '_');
    if (stem.size() > kBulkExportStemMax) stem.resize(kBulkExportStemMax);
    if (dot_or_blank(stem.back())) stem.back() = '_';
  }
  return stem;
}

std::vector<std::string> bulk_export_file_names(const std::vector<std::string>& symbols) {
  std::vector<std::string> names;
  names.reserve(symbols.size());
  std::unordered_set<std::string> taken;  // folded names given so far
  taken.reserve(symbols.size() * 2);
  for (const std::string& symbol : symbols) {
    const std::string stem = bulk_export_stem(symbol);
    std::string name = stem + std::string(kBulkExportExtension);
    for (int n = 2; taken.count(folded(name)) != 0; ++n)
      name = stem + "~" + std::to_string(n) + std::string(kBulkExportExtension);
    taken.insert(folded(name));
    names.push_back(std::move(name));
  }
  return names;
}

BulkExportPlan::BulkExportPlan(const std::string& dir)
    : m_root(qdb::normalize_dir(dir)), m_listing(m_root), m_entries(m_listing) {
  const std::vector<qdb::MasterRecord>& entries = m_entries.all();
  std::vector<std::string> symbols;
  symbols.reserve(entries.size());
  m_items.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    BulkExportItem item;
    item.symbol = grid_symbol_text(entries[i]);
    // An issue name shown for a blank symbol keeps the blanks that pad it in the index.
    while (!item.symbol.empty() && item.symbol.back() == ' ') item.symbol.pop_back();
    item.file_number = entries[i].file_number();
    item.extended = entries[i].is_extended();
    item.entry = i;
    symbols.push_back(item.symbol);
    m_items.push_back(std::move(item));
  }
  std::vector<std::string> names = bulk_export_file_names(symbols);
  for (std::size_t i = 0; i < m_items.size(); ++i) m_items[i].file_name = std::move(names[i]);
}

std::vector<std::string> bulk_export_clashes(const BulkExportPlan& plan,
                                             const BulkExportRequest& request) {
  std::vector<std::string> clashes;
  if (!request.single_file.empty()) {
    // Matched without regard to case, as the file it would replace is.
    const std::string existing = qdb::resolve_path(request.single_file);
    if (export_target_exists(existing)) clashes.push_back(existing);
    return clashes;
  }
  const qdb::DirListing listing(qdb::normalize_dir(request.out_dir));
  // A directory that can't be listed may hold any of the files: nothing is written unforced.
  // (One not made yet holds none.)
  if (!listing.ok() && qdb::file_system().identity(listing.dir().empty() ? "." : listing.dir()))
    return {listing.error().cause};
  for (const BulkExportItem& item : plan.items()) {
    if (!listing.contains(item.file_name)) continue;
    clashes.push_back(qdb::file_name_of(listing.resolve(item.file_name)));
  }
  return clashes;
}

BulkExportResult run_bulk_export(const BulkExportPlan& plan, const BulkExportRequest& request) {
  BulkExportResult result;
  if (!plan.ok()) {
    result.outcome = BulkExportOutcome::kNoIndex;
    return result;
  }
  if (!request.force) {
    result.clashes = bulk_export_clashes(plan, request);
    if (!result.clashes.empty()) {
      result.outcome = BulkExportOutcome::kClashes;
      return result;
    }
  }
  return request.single_file.empty() ? run_per_symbol(plan, request) : run_single(plan, request);
}

}  // namespace core
