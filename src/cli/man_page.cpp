#include "cli/man_page.h"

#include <cctype>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "cli/usage_words.h"
#include "core/version.h"

namespace cli {

namespace {

// Text made safe for roff: backslashes doubled, minus signs escaped, and a line that would
// start with a control character guarded.
std::string roff(const std::string& text) {
  std::string result;
  for (const char c : text) {
    if (c == '\\')
      result += "\\e";
    else if (c == '-')
      result += "\\-";
    else
      result += c;
  }
  if (!result.empty() && (result.front() == '.' || result.front() == '\'')) result.insert(0, "\\&");
  return result;
}

bool is_placeholder(const std::string& word) {
  bool letter = false;
  for (const char c : word) {
    if (std::islower(static_cast<unsigned char>(c))) return false;
    if (std::isupper(static_cast<unsigned char>(c))) letter = true;
  }
  return letter;
}

// A usage line in the man page's fonts: options bold, placeholders italic.
std::string usage_line(const std::string& usage) {
  std::istringstream in(usage);
  std::string word;
  std::string line = "\\fBdorvane\\-cli\\fR";
  while (in >> word) {
    std::string before;
    std::string after;
    while (!word.empty() && word.front() == '[') {
      before += '[';
      word.erase(0, 1);
    }
    while (!word.empty() && word.back() == ']') {
      after += ']';
      word.pop_back();
    }
    std::string font = "\\fB";
    if (word.find('|') == std::string::npos && word.find(',') == std::string::npos &&
        is_placeholder(word))
      font = "\\fI";
    line += " " + before + font + roff(word) + "\\fR" + after;
  }
  return line;
}

struct Example {
  const char* what;
  const char* line;
};

// Examples, in the order of a first session with a portfolio.
const Example kExamples[] = {
    {"Find every portfolio under a data directory:", "dorvane-cli portfolios ~/data"},
    {"List the symbols of one of them:", "dorvane-cli symbols ~/data/Stocks"},
    {"Show the newest ten quotes of a symbol:", "dorvane-cli quotes ~/data/Stocks ACME | head"},
    {"Check the MASTER, and repair it when the check finds damage:",
     "dorvane-cli check ~/data/Stocks || dorvane-cli repair ~/data/Stocks"},
    {"Export a symbol's quotes, comma separated with a title line:",
     "dorvane-cli export ~/data/Stocks ACME acme.csv --delimiter comma --title"},
    {"Record a two-for-one split on 3 June 2024:",
     "dorvane-cli split ~/data/Stocks ACME 06/03/24 2 1"},
    {"Search a portfolio for splits and keep the findings:",
     "dorvane-cli split-search ~/data/Stocks --output splits.txt"},
};

}  // namespace

void write_man_page(std::ostream& out) {
  out << ".TH DORVANE\\-CLI 1 \"" << core::kReleaseDate << "\" \"Dorvane " << core::kVersion
      << "\" \"User Commands\"\n";
  out << ".nh\n.SH NAME\n"
         "dorvane\\-cli \\- read, edit and repair MetaStock and CompuTrac portfolios from "
         "scripts\n"
         ".SH SYNOPSIS\n"
         ".B dorvane\\-cli\n"
         ".I COMMAND\n"
         ".RI [ ARGS ...]\n"
         ".br\n"
         ".B dorvane\\-cli\n"
         ".BR \\-\\-help \" | \" \\-\\-version\n"
         ".SH DESCRIPTION\n"
         ".B dorvane\\-cli\n"
         "does the work of\n"
         ".BR dorvane (1)\n"
         "without a display.\n"
         "A portfolio is a directory holding an index file\n"
         ".B MASTER\n"
         "and, for each symbol, a data file\n"
         ".BI F n .DAT\n"
         "and a layout file\n"
         ".BI F n .DOP .\n"
         "Every change is written to a complete new file beside the old one, which then "
         "replaces it, so a failed command leaves the portfolio as it was.\n"
         ".PP\n"
         ".I DIR\n"
         "names a portfolio directory;\n"
         ".I KEY\n"
         "a symbol or an issue name;\n"
         ".I SYMBOL\n"
         "a symbol as the symbols grid shows it; dates are written MM/DD/YY.\n"
         "A\n"
         ".I KEY\n"
         "or\n"
         ".I SYMBOL\n"
         "that names several entries of the directory's own\n"
         ".B MASTER\n"
         "and\n"
         ".B XMASTER\n"
         "is refused with the entries listed (file number, symbol, name);\n"
         ".BI \\-\\-file\\-number \" N\"\n"
         "picks the entry with file number\n"
         ".IR N .\n"
         "Every command answers\n"
         ".BR \\-\\-help .\n"
         ".SH COMMANDS\n";
  for (const Command& command : commands()) {
    out << ".SS " << roff(command.name) << "\n"
        << usage_line(command.usage) << "\n.PP\n"
        << roff(command.summary) << "\n";
    const UsageWords words = usage_words(command.usage);
    if (words.options.empty()) continue;
    out << ".PP\nOptions:\n";
    for (std::size_t i = 0; i < words.options.size(); ++i) {
      const UsageOption& option = words.options[i];
      out << "\\fB" << roff(option.name) << "\\fR";
      if (!option.placeholder.empty()) out << " \\fI" << roff(option.placeholder) << "\\fR";
      out << (i + 1 < words.options.size() ? ",\n" : ".\n");
    }
  }
  out << ".SH OPTIONS\n"
         ".TP\n"
         ".BR \\-h \", \" \\-\\-help\n"
         "Without a command: list the commands. After a command: show its usage.\n"
         ".TP\n"
         ".B \\-\\-version\n"
         "Show the version and exit.\n"
         ".SH EXIT STATUS\n"
         ".TP\n.B "
      << kExitOk
      << "\nThe command succeeded.\n"
         ".TP\n.B "
      << kExitFailure
      << "\nThe command failed: a file could not be read or written, or (for\n"
         ".BR check )\n"
         "the portfolio is damaged. The message on standard error says why.\n"
         ".TP\n.B "
      << kExitUsage
      << "\nThe command line was not understood, or a KEY names several entries and no\n"
         ".B \\-\\-file\\-number\n"
         "chose one, or a quote of a series with times was not named as one bar: a date of\n"
         "several bars without\n"
         ".BR \\-\\-time ,\n"
         "or a date and time held by several records without\n"
         ".B \\-\\-all\\-matching\n"
         "(for\n"
         ".BR check :\n"
         "the MASTER could not be read).\n"
         ".SH EXAMPLES\n";
  for (const Example& example : kExamples)
    out << roff(example.what) << "\n.PP\n.RS\n.EX\n" << roff(example.line) << "\n.EE\n.RE\n.PP\n";
  out << ".SH SEE ALSO\n.BR dorvane (1)\n";
}

}  // namespace cli
