// Cell texts of the quotes grid, shared by the app and the CLI.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "qdb/series.h"

namespace core {

// The date as the user sees it: MM/DD/YY for 1960 to 2059, where a two-digit year reads back
// as the same year, and MM/DD/YYYY for any other year (10/01/1928); 00/00/00 for no date.
std::string display_date_text(qdb::DateSerial serial);
// HH:MM:SS of a quote's time, to the second.
std::string time_text(const qdb::QuoteBar& bar);
// "%.4f", or "N/A" for a negative or not-a-number value.
std::string price_text(float value);
// "%.0f", or "N/A".
std::string quantity_text(float value);
// Date (display_date_text), Open, High, Low, Close, Volume, Open Interest.
std::array<std::string, 7> quote_cell_texts(const qdb::QuoteBar& bar);

}  // namespace core
