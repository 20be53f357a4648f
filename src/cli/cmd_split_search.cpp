// dorvane-cli split-search DIR [--output FILE]: candidate stock splits in a portfolio.
#include <iostream>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/master_check.h"
#include "core/split_search.h"
#include "core/symbol_rows.h"
#include "qdb/master_file.h"

namespace {

int run_split_search(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "split-search",
    "split-search DIR [--output FILE] [--json]",
    "Search every symbol of portfolio DIR for consecutive quotes whose closes jump by a split "
    "ratio; result lines on stdout (--output: also the result file), messages on stderr",
    {1, {"output"}, {"json"}},
    run_split_search};
const cli::Registrar kRegistrar{kCommand};

class StreamObserver final : public core::SplitSearchObserver {
 public:
  StreamObserver(std::ostream& out, std::ostream& err, bool json)
      : m_out(out), m_err(err), m_json(json) {}
  void result_line(const std::string& line) override {
    if (!m_json) m_out << line << '\n';
    lines.push_back(line);
  }
  void found(const std::string& symbol, core::SplitRatio ratio, qdb::DateSerial date) override {
    if (m_json) splits.push_back(cli::json::split(symbol, ratio, date));
  }
  void status(const std::string&) override {}
  void message(const std::string& text) override { m_err << text << '\n'; }
  std::vector<std::string> lines;
  cli::json::Value splits = cli::json::Value::array();

 private:
  std::ostream& m_out;
  std::ostream& m_err;
  bool m_json;
};

int run_split_search(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& dir = parsed.positional[0];

  // The search runs over the symbols as the symbols grid lists them, which it does only for a
  // sound MASTER.
  // One listing of the directory serves the MASTER's name, the rows and every symbol's files.
  const core::SplitSearchFiles files(dir);
  const std::string master = qdb::master_path(files.listing());
  const core::MasterCheckResult check = core::ValidateMaster(master);
  if (!check.readable) {
    err << "dorvane-cli split-search: the MASTER file " << master << " cannot be read\n";
    return cli::kExitFailure;
  }
  if (!check.sound) {
    err << "dorvane-cli split-search: the MASTER file " << master
        << " is damaged (see dorvane-cli check; dorvane-cli repair rebuilds it)\n";
    return cli::kExitFailure;
  }
  const core::MasterListing listing =
      core::read_master_rows(master, qdb::kMaxSymbols, &files.listing());
  const std::vector<core::SymbolRow> rows = core::sorted_rows(listing.rows);

  StreamObserver observer(out, err, parsed.has("json"));
  const core::SplitSearchSummary summary = core::split_search(files, rows, observer);
  if (parsed.has("json") && !summary.aborted)
    cli::json::print(out, {{"master", cli::json::path_text(master)},
                           {"symbols_searched", summary.symbols_searched},
                           {"splits", observer.splits}});
  out.flush();

  if (const std::string* output = parsed.value("output")) {
    if (!core::write_split_results(*output, observer.lines)) {
      err << "dorvane-cli split-search: the result file " << *output << " could not be written\n";
      return cli::kExitFailure;
    }
  }
  return summary.aborted ? cli::kExitFailure : cli::kExitOk;
}

}  // namespace
