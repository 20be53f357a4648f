// dorvane-cli portfolios ROOT [--filter PATH]: every directory under ROOT holding a MASTER.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/discovery.h"

namespace {

int run_portfolios(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "portfolios",
    "portfolios ROOT [--filter PATH] [--json]",
    "List every portfolio directory under ROOT, in ascending order (--filter: only paths "
    "related to PATH)",
    {1, {"filter"}, {"json"}},
    run_portfolios};
const cli::Registrar kRegistrar{kCommand};

int run_portfolios(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  std::error_code ec;
  if (!std::filesystem::is_directory(std::filesystem::path(parsed.positional[0]), ec)) {
    err << "dorvane-cli portfolios: " << parsed.positional[0] << " is not a directory\n";
    return cli::kExitFailure;
  }
  const std::string* filter_path = parsed.value("filter");
  const core::PortfolioFilter filter(filter_path != nullptr, filter_path ? *filter_path : "");
  std::vector<std::string> found = core::find_portfolios(parsed.positional[0], filter);
  // The portfolio list shows the directories in ascending text order.
  std::sort(found.begin(), found.end());
  if (parsed.has("json")) {
    cli::json::Value dirs = cli::json::Value::array();
    for (const std::string& dir : found) dirs.push_back(cli::json::path_text(dir));
    cli::json::print(out,
                     {{"root", cli::json::path_text(parsed.positional[0])}, {"portfolios", dirs}});
    return cli::kExitOk;
  }
  for (const std::string& dir : found) out << dir << '\n';
  return cli::kExitOk;
}

}  // namespace
