// dorvane-cli symbols DIR: the entries of a portfolio's MASTER with the symbols grid's texts.
#include <charconv>
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/symbol_listing.h"
#include "qdb/file_system.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"

namespace {

int run_symbols(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kSymbols{"symbols",
                            "symbols DIR [--json]",
                            "List the portfolio's MASTER entries in file order, then its XMASTER "
                            "entries: file number, symbol and issue name, separated by tabs.",
                            {1, {}, {"json"}},
                            run_symbols};
const cli::Registrar kRegistrar{kSymbols};

// The listing's text, written in pieces of about this many bytes as the rows are read, so a
// listing of tens of thousands of entries never sits in memory; small enough that the piece's
// few pages are all a listing of any length touches.
constexpr std::size_t kPiece = 16 * 1024;

// The issue name as the output shows it: without trailing blanks.
std::string_view trimmed_name(const std::string& name) {
  std::size_t end = name.size();
  while (end > 0 && name[end - 1] == ' ') --end;
  return std::string_view(name).substr(0, end);
}

void append_number(std::string& text, int number) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  text.append(digits, end);
}

int run_symbols(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string dir = qdb::normalize_dir(parsed.positional[0]);
  // One listing of the directory names the MASTER and the index files beside it.
  const qdb::DirListing files(dir);
  // Without the listing the EMASTER's names and the XMASTER's entries would be left out unsaid.
  // (A directory that is not there has no MASTER either, which the listing below reports.)
  if (!files.ok() && qdb::file_system().identity(dir.empty() ? std::string(".") : dir)) {
    err << "dorvane-cli symbols: the portfolio " << parsed.positional[0] << " could not be listed\n"
        << files.error().cause << "\n";
    return cli::kExitFailure;
  }
  const std::string master_path = qdb::master_path(files);
  const bool json = parsed.has("json");

  std::string text;
  text.reserve(kPiece + 512);
  auto flush = [&text, &out] {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  };
  // The JSON document as the JSON library would print it (two-space indent, keys in this
  // order), written row by row; it opens with the first row, or at the end when there is none.
  bool opened = false;
  auto open_document = [&] {
    text += "{\n  \"master\": ";
    cli::json::append_string(text, cli::json::path_text(master_path));
    text += ",\n  \"symbols\": [";
    opened = true;
  };

  core::SymbolListingSink sink;
  sink.warning = [&err](const std::string& warning) { err << warning << '\n'; };
  sink.row = [&](const core::SymbolRow& row) {
    if (json) {
      if (!opened)
        open_document();
      else
        text += ',';
      text += "\n    {\n      \"file_number\": ";
      append_number(text, row.file_number);
      text += ",\n      \"symbol\": ";
      cli::json::append_string(text, cli::json::stored_text(row.symbol));
      text += ",\n      \"name\": ";
      cli::json::append_string(text, cli::json::stored_text(std::string(trimmed_name(row.name))));
      text += "\n    }";
    } else {
      append_number(text, row.file_number);
      text += '\t';
      text += row.symbol;
      text += '\t';
      text += trimmed_name(row.name);
      text += '\n';
    }
    if (text.size() >= kPiece) flush();
  };
  const core::SymbolListingOutcome listing =
      core::list_symbols(master_path, sink, &files, /*long_names=*/false);
  if (listing.failure == core::SymbolListingFailure::kUnreadable) {
    err << core::kSymbolsGridFailure << "\n(" << master_path
        << " is missing or shorter than its 53-byte header)\n";
    return cli::kExitFailure;
  }
  if (json) {
    if (!opened) {
      open_document();
      text += "]\n}\n";
    } else {
      text += "\n  ]\n}\n";
    }
  }
  flush();
  if (listing.failure == core::SymbolListingFailure::kShortMaster) {
    err << core::kSymbolsGridFailure << "\n(the MASTER holds " << listing.master_rows
        << " entries but its header counts " << listing.shown_count
        << "; dorvane-cli check and repair can mend it)\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
