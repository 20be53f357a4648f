#include "core/verify.h"

#include <array>
#include <chrono>
#include <ctime>
#include <unordered_map>

#include "core/discovery.h"
#include "core/symbol_rows.h"
#include "core/verify_index.h"
#include "core/verify_series.h"
#include "qdb/dat.h"
#include "qdb/extended_master.h"
#include "qdb/file_suffixes.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/series_problem.h"

namespace core {
namespace {

struct KindName {
  std::string_view name;
  std::string_view group;
};

constexpr std::array<KindName, kFindingKindCount> kKindNames{{
    {"out-of-order", "order"},
    {"repeated-date", "order"},
    {"repeated-record", "order"},
    {"weekend", "calendar"},
    {"future-date", "calendar"},
    {"gap", "calendar"},
    {"high-below-low", "prices"},
    {"outside-range", "prices"},
    {"bad-price", "prices"},
    {"zero-volume", "prices"},
    {"suspect", "prices"},
    {"split-jump", "prices"},
    {"index-date", "index"},
    {"index-fields", "index"},
    {"record-length", "index"},
    {"header-count", "index"},
    {"index-count", "index"},
    {"unreadable", "index"},
}};

}  // namespace

std::string_view finding_kind_name(FindingKind kind) {
  return kKindNames[static_cast<std::size_t>(kind)].name;
}

std::string_view finding_kind_group(FindingKind kind) {
  return kKindNames[static_cast<std::size_t>(kind)].group;
}

std::optional<FindingKind> finding_kind_of(std::string_view name) {
  for (std::size_t i = 0; i < kKindNames.size(); ++i)
    if (kKindNames[i].name == name || kKindNames[i].group == name)
      return static_cast<FindingKind>(i);
  return std::nullopt;
}

bool finding_kind_mendable(FindingKind kind) {
  return kind == FindingKind::kOutOfOrder || kind == FindingKind::kRepeatedRecord ||
         kind == FindingKind::kIndexDate || kind == FindingKind::kIndexCount;
}

std::string finding_day_text(const Finding& finding) {
  if (finding.date == 0) return {};
  std::string text = qdb::format_date(finding.date, qdb::DateFormat::kYyyyMmDd, '-');
  if (finding.seconds >= 0) text += " " + qdb::format_seconds_string(finding.seconds);
  return text;
}

std::string finding_line(const Finding& finding, bool with_portfolio) {
  std::string line;
  if (with_portfolio) line += finding.portfolio + '\t';
  line += finding.symbol;
  line += '\t';
  line += finding_day_text(finding);
  line += '\t';
  line += finding_kind_name(finding.kind);
  line += '\t';
  line += finding.values;
  return line;
}

namespace {

// A CSV cell: quoted, inner quotes doubled, when it holds a delimiter, a quote or a line break.
std::string csv_cell(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace

std::string_view finding_csv_header() {
  return "portfolio,symbol,file_number,date,time,kind,group,values";
}

std::string finding_csv_line(const Finding& finding) {
  std::string line = csv_cell(finding.portfolio) + ',' + csv_cell(finding.symbol) + ',' +
                     std::to_string(finding.file_number) + ',';
  if (finding.date != 0) line += qdb::format_date(finding.date, qdb::DateFormat::kYyyyMmDd, '-');
  line += ',';
  if (finding.seconds >= 0) line += qdb::format_seconds_string(finding.seconds);
  line += ',';
  line += finding_kind_name(finding.kind);
  line += ',';
  line += finding_kind_group(finding.kind);
  line += ',';
  line += csv_cell(finding.values);
  return line;
}

bool write_findings(const std::string& path, const std::vector<Finding>& findings, bool csv,
                    bool with_portfolio) {
  return qdb::replace_file(
             path, path + std::string(qdb::suffix::kNewRepair),
             [&](qdb::WriteFile& out) {
               auto put = [&out](std::string_view line) {
                 return out.write(line.data(), line.size()) && out.write("\r\n", 2);
               };
               if (csv && !put(finding_csv_header())) return false;
               for (const Finding& finding : findings) {
                 if (!put(csv ? finding_csv_line(finding) : finding_line(finding, with_portfolio)))
                   return false;
               }
               return true;
             })
      .ok();
}

qdb::DateSerial today_serial() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return qdb::date_serial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

VerifySummary verify_portfolio(const std::string& dir, const VerifyOptions& options,
                               const FindingSink& sink) {
  VerifySummary summary;
  const std::string root = qdb::normalize_dir(dir);
  const qdb::DirListing listing(root);
  const qdb::PortfolioLookup lookup(listing);
  if (!listing.ok() || !lookup.ok()) {
    summary.readable = false;
    summary.failure = "the MASTER file in " + root + " cannot be read";
    return summary;
  }
  const qdb::DateSerial today = options.today != 0 ? options.today : today_serial();
  const IndexFiles index(listing);
  auto emit = [&](Finding&& finding, const qdb::MasterRecord* entry) {
    finding.portfolio = root;
    if (entry != nullptr) {
      finding.symbol = grid_symbol_text(*entry);
      finding.file_number = entry->file_number();
    }
    ++summary.findings;
    sink(finding);
  };
  for (Finding& finding : index.count_findings()) emit(std::move(finding), nullptr);

  std::vector<qdb::MasterRecord> entries = lookup.all();
  std::erase_if(entries, [&](const qdb::MasterRecord& entry) {
    return entry.is_directory() || entry.file_number() == 0 ||
           (!options.key.empty() && !qdb::symbol_matches(entry, options.key));
  });
  std::vector<std::uint8_t> bytes;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const qdb::MasterRecord& entry = entries[n];
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
      summary.cancelled = true;
      break;
    }
    if (options.progress) options.progress(n, entries.size(), grid_symbol_text(entry));
    ++summary.symbols;
    SymbolFile file = read_symbol_file(listing, entry, bytes);
    for (Finding& finding : index.entry_findings(entry, file)) emit(std::move(finding), &entry);
    if (!file.readable) continue;
    const MendedOrder mended = mended_order(file.records);
    verify_series(file.records, mended, options, today,
                  [&](Finding&& finding) { emit(std::move(finding), &entry); });
    for (Finding& finding : index.date_findings(entry, file, mended))
      emit(std::move(finding), &entry);
  }
  return summary;
}

VerifySummary verify_tree(const std::string& root, const VerifyOptions& options,
                          const FindingSink& sink,
                          const std::function<void(std::size_t index, std::size_t count,
                                                   const std::string& dir)>& portfolio_progress) {
  VerifySummary total;
  const std::vector<std::string> found = find_portfolios(root, PortfolioFilter());
  for (std::size_t i = 0; i < found.size(); ++i) {
    if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
      total.cancelled = true;
      break;
    }
    if (portfolio_progress) portfolio_progress(i, found.size(), found[i]);
    const VerifySummary one = verify_portfolio(found[i], options, sink);
    total.symbols += one.symbols;
    total.findings += one.findings;
    if (!one.readable) {
      // An unreadable portfolio in a tree is a finding of its own, not the end of the walk.
      Finding finding;
      finding.portfolio = qdb::normalize_dir(found[i]);
      finding.kind = FindingKind::kUnreadable;
      finding.values = one.failure;
      ++total.findings;
      sink(finding);
    }
    if (one.cancelled) {
      total.cancelled = true;
      break;
    }
  }
  return total;
}

}  // namespace core
