// Portfolios whose names were written in a code page other than Latin-1, built with the
// library's writer: Russian names in cp1251 and Arabic ones in cp1256.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct PageName {
  const char* symbol;
  const char* stored;  // the name's bytes in the portfolio's page
  const char* shown;   // the same name in UTF-8
};

// Газпром, Сбербанк, ГМК Норникель in cp1251.
const std::vector<PageName>& russian_names();
// أرامكو, الراجحي, الاتصالات in cp1256.
const std::vector<PageName>& arabic_names();

// A portfolio in dir with the names as F1, F2, ..., each with three daily quotes.
void make_named_portfolio(const std::filesystem::path& dir, const std::vector<PageName>& names);

}  // namespace testing_support
