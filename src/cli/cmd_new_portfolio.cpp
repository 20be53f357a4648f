// dorvane-cli new-portfolio DIR: an empty portfolio, ready for import.
#include <ostream>

#include "cli/command.h"
#include "core/import.h"

namespace {

int run_new_portfolio(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kNewPortfolio{
    "new-portfolio",
    "new-portfolio DIR",
    "Create a portfolio: DIR (made when needed) with an empty MASTER and EMASTER. Refused when "
    "DIR already holds a MASTER.",
    {1},
    run_new_portfolio};
const cli::Registrar kRegistrar{kNewPortfolio};

int run_new_portfolio(const cli::ParsedArgs& parsed, std::ostream& /*out*/, std::ostream& err) {
  core::ImportError error;
  if (!core::create_new_portfolio(parsed.positional[0], error)) {
    err << error.text() << "\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
