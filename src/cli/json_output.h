// The --json output of the read commands: one JSON document on standard output, with dates in
// ISO form (YYYY-MM-DD), numbers as numbers and null for a value the text output shows as
// absent. Texts stored in the files are read in the code page of the portfolio's names
// (Latin-1 unless a command says otherwise) and come out as UTF-8.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/split_search.h"
#include "core/symbol_rows.h"
#include "qdb/code_page.h"
#include "qdb/describe.h"
#include "qdb/series.h"

namespace cli::json {

// Keys keep the order they were added in, so the documents read like the text output.
using Value = nlohmann::ordered_json;

// A text stored in a portfolio file (bytes of page) in UTF-8.
std::string stored_text(const std::string& bytes, qdb::CodePage page = qdb::CodePage::kLatin1);
// A path given by the user or found on disk: kept when it is UTF-8 already, else read as
// Latin-1.
std::string path_text(const std::string& bytes);

// "YYYY-MM-DD" of a year, month and day; null when there is no date (a zero month).
Value iso_date(int year, int month, int day);
// "YYYY-MM-DD" of a date serial; null for no date.
Value iso_date(qdb::DateSerial serial);
// The value of a price text ("12.5000"), or null for "N/A".
Value price(const std::string& text);
// The value of a whole-number text ("46000"), or null for "N/A".
Value quantity(const std::string& text);

// {"file_number", "symbol", "name"} of a symbols grid row; the name without trailing blanks.
Value symbol_row(const core::SymbolRow& row, qdb::CodePage page = qdb::CodePage::kLatin1);

// A row of the quotes grid: date, time ("HH:MM:SS", null without a time column), open, high,
// low, close, volume and open_interest, each null where the grid shows "N/A".
Value quote(const qdb::QuoteBar& bar, bool with_time);

// The data facts: the MASTER record, the data file, the layout's formats and the first and
// last quotes (null when the file holds none).
Value facts(const qdb::SeriesDescription& facts, qdb::CodePage page = qdb::CodePage::kLatin1);

// A split search finding: symbol, new and old shares, date.
Value split(const std::string& symbol, core::SplitRatio ratio, qdb::DateSerial date);

// Appends text (UTF-8) to out as a JSON string, quotes included, escaped exactly as print()
// escapes it, for output written piece by piece.
void append_string(std::string& out, std::string_view text);

// Prints the document followed by a newline.
void print(std::ostream& out, const Value& document);

}  // namespace cli::json
