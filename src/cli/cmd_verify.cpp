// dorvane-cli verify DIR [KEY]: every quote of a portfolio (or a tree of them) checked, one
// finding per line; --fix mends order, repeats and the index files' dates and counts.
#include <charconv>
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/discovery.h"
#include "core/verify.h"
#include "core/verify_fix.h"
#include "qdb/master.h"

namespace {

int run_verify(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kVerify{
    "verify",
    "verify DIR [KEY] [--tree] [--json] [--fix] [--gap N]",
    "Check every quote of every symbol of portfolio DIR (only KEY's, when given; --tree: of "
    "every portfolio below DIR): one finding per line, symbol, day, kind and values, separated "
    "by tabs. Kinds: out-of-order, repeated-date, repeated-record (order); weekend, "
    "future-date, gap (calendar; a gap is more than --gap weekdays, 10 unless given); "
    "high-below-low, outside-range, bad-price, zero-volume, suspect, split-jump (prices); "
    "index-date, index-fields, record-length, header-count, index-count, unreadable (index). "
    "--fix first sorts records into date order, removes records repeated byte for byte and "
    "corrects the index files' dates and counts, with backups, printing each change. Exit "
    "status 0 when nothing is found, 1 when anything is.",
    {1, {"gap"}, {"tree", "json", "fix"}, true},
    run_verify};
const cli::Registrar kRegistrar{kVerify};

// Written in pieces of about this many bytes, so a report of any length never sits in memory.
constexpr std::size_t kPiece = 16 * 1024;

void append_number(std::string& text, long long number) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  text.append(digits, end);
}

// One finding as an element of the "findings" array, as the JSON library would print it.
void append_json(std::string& text, const core::Finding& finding) {
  text += "\n    {\n      \"portfolio\": ";
  cli::json::append_string(text, cli::json::path_text(finding.portfolio));
  text += ",\n      \"symbol\": ";
  cli::json::append_string(text, cli::json::stored_text(finding.symbol));
  text += ",\n      \"file_number\": ";
  append_number(text, finding.file_number);
  text += ",\n      \"date\": ";
  if (finding.date == 0)
    text += "null";
  else
    cli::json::append_string(text, qdb::format_date(finding.date, qdb::DateFormat::kYyyyMmDd, '-'));
  text += ",\n      \"time\": ";
  if (finding.seconds < 0)
    text += "null";
  else
    cli::json::append_string(text, qdb::format_seconds_string(finding.seconds));
  text += ",\n      \"kind\": ";
  cli::json::append_string(text, core::finding_kind_name(finding.kind));
  text += ",\n      \"group\": ";
  cli::json::append_string(text, core::finding_kind_group(finding.kind));
  text += ",\n      \"values\": ";
  cli::json::append_string(text, cli::json::stored_text(finding.values));
  text += "\n    }";
}

int run_verify(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  if (parsed.positional.size() > 2) return cli::usage_error(kVerify, err, "at most DIR and KEY");
  const std::string dir = qdb::normalize_dir(parsed.positional[0]);
  core::VerifyOptions options;
  if (parsed.positional.size() == 2) options.key = parsed.positional[1];
  if (const std::string* gap = parsed.value("gap")) {
    int value = -1;
    const auto [end, ec] = std::from_chars(gap->data(), gap->data() + gap->size(), value);
    if (ec != std::errc() || end != gap->data() + gap->size() || value < 0)
      return cli::usage_error(kVerify, err, "--gap needs a number of weekdays, 0 or more");
    options.gap_weekdays = value;
  }
  const bool tree = parsed.has("tree");
  const bool json = parsed.has("json");

  std::string text;
  text.reserve(kPiece + 1024);
  auto flush = [&text, &out] {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  };
  if (json) {
    text += "{\n  \"";
    text += tree ? "root" : "portfolio";
    text += "\": ";
    cli::json::append_string(text, cli::json::path_text(dir));
  }

  // The mend comes first, so that the findings below are what it left.
  bool mend_failed = false;
  if (parsed.has("fix")) {
    std::vector<std::string> portfolios{dir};
    if (tree) {
      portfolios.clear();
      for (const std::string& found : core::find_portfolios(dir, core::PortfolioFilter()))
        portfolios.push_back(qdb::normalize_dir(found));
    }
    bool first_change = true;
    if (json) text += ",\n  \"changes\": [";
    for (const std::string& portfolio : portfolios) {
      const core::MendResult mended = core::mend_portfolio(portfolio, options.key, false);
      if (!mended.ok) {
        err << "dorvane-cli verify: " << portfolio << ": " << mended.failure << '\n';
        if (!mended.restore_failed.empty())
          err << "these files could not be put back:" << mended.restore_failed << '\n';
        mend_failed = true;
        continue;
      }
      for (const std::string& left : mended.left)
        err << "dorvane-cli verify: " << (tree ? portfolio + ": " : std::string()) << left << '\n';
      for (const std::string& change : mended.changes) {
        const std::string line = (tree ? portfolio + '\t' : std::string()) + change;
        if (json) {
          text += first_change ? "\n    " : ",\n    ";
          cli::json::append_string(text, cli::json::path_text(line));
        } else {
          text += "fixed\t" + line + '\n';
        }
        first_change = false;
      }
    }
    if (json) text += first_change ? "]" : "\n  ]";
  }

  bool first = true;
  if (json) text += ",\n  \"findings\": [";
  const core::FindingSink sink = [&](const core::Finding& finding) {
    if (json) {
      if (!first) text += ',';
      append_json(text, finding);
    } else {
      text += core::finding_line(finding, tree);
      text += '\n';
    }
    first = false;
    if (text.size() >= kPiece) flush();
  };
  const core::VerifySummary summary =
      tree ? core::verify_tree(dir, options, sink) : core::verify_portfolio(dir, options, sink);
  if (json) {
    text += first ? "]" : "\n  ]";
    text += ",\n  \"symbols_verified\": ";
    append_number(text, summary.symbols);
    text += ",\n  \"findings_count\": ";
    append_number(text, summary.findings);
    text += "\n}\n";
  }
  if (!summary.readable) {
    text.clear();
    err << "dorvane-cli verify: " << summary.failure << '\n';
    return cli::kExitUsage;
  }
  flush();
  out.flush();
  if (mend_failed) return cli::kExitFailure;
  return summary.findings == 0 ? cli::kExitOk : cli::kExitFailure;
}

}  // namespace
