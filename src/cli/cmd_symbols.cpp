// dorvane-cli symbols DIR: the entries of a portfolio's MASTER with the symbols grid's texts.
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/symbol_rows.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/text.h"

namespace {

int run_symbols(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kSymbols{"symbols",
                            "symbols DIR [--json]",
                            "List the portfolio's MASTER entries in file order, then its XMASTER "
                            "entries: file number, symbol and issue name, separated by tabs.",
                            {1, {}, {"json"}},
                            run_symbols};
const cli::Registrar kRegistrar{kSymbols};

int run_symbols(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string dir = qdb::normalize_dir(parsed.positional[0]);
  // One listing of the directory names the MASTER and the index files beside it.
  const qdb::DirListing files(dir);
  const std::string master_path = qdb::master_path(files);
  const core::MasterListing listing = core::read_master_rows(master_path, qdb::kMaxSymbols, &files);
  if (!listing.ok) {
    err << "Failure while filling symbols grid\n"
        << "(" << master_path << " is missing or shorter than its 53-byte header)\n";
    return cli::kExitFailure;
  }

  // As many entries as the header announces, at most 255.
  int count = listing.header_count < 0 ? 0 : listing.header_count;
  if (count > qdb::kMaxSymbols) {
    err << "File has " << count << " symbols.\nWill only display the first " << qdb::kMaxSymbols
        << " symbols\n";
    count = qdb::kMaxSymbols;
  }
  int listed = 0;
  const bool json = parsed.has("json");
  cli::json::Value json_rows = cli::json::Value::array();
  auto print = [&out, &json_rows, json](const core::SymbolRow& row) {
    if (json) {
      json_rows.push_back(cli::json::symbol_row(row));
      return;
    }
    std::string name = row.name;
    out << row.file_number << '\t' << row.symbol << '\t' << qdb::trim_right(name) << '\n';
  };
  for (int i = 0; i < listing.master_rows() && listed < count; ++i, ++listed)
    print(listing.rows[i]);
  // The XMASTER's entries follow the MASTER's.
  for (int i = listing.master_rows(); i < static_cast<int>(listing.rows.size()); ++i)
    print(listing.rows[i]);
  if (json)
    cli::json::print(out, {{"master", cli::json::path_text(master_path)}, {"symbols", json_rows}});
  if (listed < count) {
    err << "Failure while filling symbols grid\n"
        << "(the MASTER holds " << listed << " entries but its header counts " << count
        << "; dorvane-cli check and repair can mend it)\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
