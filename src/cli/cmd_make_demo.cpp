// dorvane-cli make-demo DIR: creates the demo portfolios.
#include <string>

#include "cli/command.h"
#include "core/demo_data.h"

namespace {

int run_make_demo(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kMakeDemo{"make-demo",
                             "make-demo DIR",
                             "Create the demo portfolios under DIR (Stocks with its sub-portfolio "
                             "TECH, and Futures). An existing demo is left as it is.",
                             {1},
                             run_make_demo};
const cli::Registrar kRegistrar{kMakeDemo};

int run_make_demo(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& root = parsed.positional[0];

  std::string message;
  if (!core::make_demo_tree(root, message)) {
    err << "dorvane-cli make-demo: " << message << '\n';
    return cli::kExitFailure;
  }
  for (const std::string& portfolio : core::demo_portfolios())
    out << root << (root.empty() || root.back() == '/' ? "" : "/") << portfolio << '\n';
  return cli::kExitOk;
}

}  // namespace
