// dorvane-cli check DIR: the soundness checks of a portfolio's MASTER.
#include "cli/command.h"
#include "cli/json_output.h"
#include "core/portfolio_repair.h"
#include "qdb/file_system.h"
#include "qdb/master_file.h"

namespace {

int run_check(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "check",
    "check DIR [--json]",
    "Check the MASTER of portfolio DIR, and its first and last dates against "
    "the data files: prints \"sound\" or each problem "
    "(exit 0 sound, 1 damaged, 2 unreadable)",
    {1, {}, {"json"}},
    run_check};
const cli::Registrar kRegistrar{kCommand};

int run_check(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string path = qdb::master_path_in(parsed.positional[0]);
  const core::PortfolioCheck check = core::check_portfolio(path);
  if (!check.readable()) {
    err << "dorvane-cli check: the MASTER file " << path
        << " cannot be read (missing, unreadable or shorter than its 53-byte header)\n";
    if (const std::string cause = qdb::not_regular_cause(path); !cause.empty())
      err << cause << "\n";
    return 2;
  }
  const std::vector<std::string>& problems = check.problems;
  if (parsed.has("json")) {
    cli::json::Value list = cli::json::Value::array();
    for (const std::string& problem : problems) list.push_back(cli::json::path_text(problem));
    cli::json::print(
        out,
        {{"master", cli::json::path_text(path)}, {"sound", problems.empty()}, {"problems", list}});
    return problems.empty() ? cli::kExitOk : cli::kExitFailure;
  }
  if (problems.empty()) {
    out << "sound\n";
    return cli::kExitOk;
  }
  out << path << " is damaged:\n";
  for (const std::string& problem : problems) out << "  " << problem << "\n";
  return cli::kExitFailure;
}

}  // namespace
