#include "support/code_page_portfolio.h"

#include "support/portfolio_builder.h"

namespace testing_support {

const std::vector<PageName>& russian_names() {
  static const std::vector<PageName> names = {
      {"GAZP", "\xC3\xE0\xE7\xEF\xF0\xEE\xEC", "Газпром"},
      {"SBER", "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA", "Сбербанк"},
      {"GMKN", "\xC3\xCC\xCA \xCD\xEE\xF0\xED\xE8\xEA\xE5\xEB\xFC", "ГМК Норникель"},
  };
  return names;
}

const std::vector<PageName>& arabic_names() {
  static const std::vector<PageName> names = {
      {"2222", "\xC3\xD1\xC7\xE3\xDF\xE6", "أرامكو"},
      {"1120", "\xC7\xE1\xD1\xC7\xCC\xCD\xED", "الراجحي"},
      {"7010", "\xC7\xE1\xC7\xCA\xD5\xC7\xE1\xC7\xCA", "الاتصالات"},
  };
  return names;
}

void make_named_portfolio(const std::filesystem::path& dir, const std::vector<PageName>& names) {
  std::vector<SymbolFixture> symbols;
  int number = 1;
  for (const PageName& n : names) symbols.push_back({number++, n.symbol, n.stored, daily_bars(3)});
  make_portfolio(dir, symbols);
}

}  // namespace testing_support
