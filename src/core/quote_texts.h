// Cell texts of the quotes grid, shared by the app and the CLI.
#pragma once

#include <array>
#include <string>

#include "qdb/series.h"

namespace core {

// "%.4f", or "N/A" for a negative or not-a-number value.
std::string price_text(float value);
// "%.0f", or "N/A".
std::string quantity_text(float value);
// Date (MM/DD/YY), Open, High, Low, Close, Volume, Open Interest.
std::array<std::string, 7> quote_cell_texts(const qdb::QuoteBar& bar);

}  // namespace core
