// dorvane-cli chart DIR KEY OUT.png: a symbol's chart as a PNG picture, drawn by the separate
// dorvane-chart program so that dorvane-cli itself never loads a graphics library.
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/chart_options.h"
#include "core/platform_fs.h"

namespace {

int run_chart(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kChart{
    "chart",
    "chart DIR KEY OUT.png [--from DATE] [--to DATE] [--size WxH] [--file-number N] [--encoding "
    "NAME]",
    "Draw the chart of a symbol (prices, volume, open interest, suspect days marked) into the "
    "PNG file OUT.png, replacing it, without a display; --from and --to (MM/DD/YY or "
    "MM/DD/YYYY) limit the days drawn, --size gives the picture's pixels (default 1200x700, "
    "each side 100 to 10000). Prints one line per suspect day drawn: its date and why it looks "
    "wrong.",
    {3, {"from", "to", "size", "file-number", cli::kEncodingOption}},
    run_chart};
const cli::Registrar kRegistrar{kChart};

constexpr const char* kWriter = "dorvane-chart";

// The drawing program: beside this executable when it is there, else looked up on the PATH.
std::string writer_program() {
  const std::string name = core::platform::program_file_name(kWriter);
  if (const auto self = core::platform::own_executable()) {
    std::size_t end = self->size();
    while (end > 0 && !core::platform::is_separator((*self)[end - 1])) --end;
    const std::string beside = self->substr(0, end) + name;
    if (end > 0 && core::platform::is_runnable_file(beside)) return beside;
  }
  return name;
}

int run_chart(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  core::ChartRequest request;
  request.directory = parsed.positional[0];
  request.key = parsed.positional[1];
  request.output = parsed.positional[2];
  const cli::KeyEntry entry = cli::resolve_key(kChart, parsed, request.directory, request.key, err);
  if (entry.exit_code) return *entry.exit_code;
  request.file_number = entry.file_number;
  std::string message;
  const std::string* from = parsed.value("from");
  const std::string* to = parsed.value("to");
  const std::string* size = parsed.value("size");
  if ((from && !core::parse_chart_date("from", *from, request.from, message)) ||
      (to && !core::parse_chart_date("to", *to, request.to, message)) ||
      (size && !core::parse_chart_size(*size, request.width, request.height, message)) ||
      !core::check_chart_request(request, message)) {
    err << "dorvane-cli chart: " << message << "\n";
    return cli::kExitFailure;
  }

  std::vector<std::string> args = {request.directory, request.key, request.output};
  if (from) args.insert(args.end(), {"--from", *from});
  if (to) args.insert(args.end(), {"--to", *to});
  if (request.file_number != 0)
    args.insert(args.end(), {"--file-number", std::to_string(request.file_number)});
  args.insert(args.end(),
              {"--size", std::to_string(request.width) + "x" + std::to_string(request.height)});
  // The program writes to the same standard output and error: what is buffered here goes first.
  out.flush();
  err.flush();
  const core::platform::ProgramRun run = core::platform::run_program(writer_program(), args);
  if (!run.started) {
    err << "dorvane-cli chart: cannot run " << kWriter << " (" << run.error
        << "); it is installed beside dorvane-cli with the desktop application\n";
    return cli::kExitFailure;
  }
  return run.exit_code;
}

}  // namespace
