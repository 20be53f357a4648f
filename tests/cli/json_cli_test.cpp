// --json of the read commands, parsed back and compared with the values of their text output,
// on a demo tree whose ACME carries a Latin-1 issue name ("Café Industries").
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::json;
using testing_support::lines_of;
using testing_support::run_cli;
using testing_support::TempDir;

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

// Runs the command with and without --json: both must agree on the exit code, and the JSON
// must be one document.
struct Both {
  testing_support::CliResult text;
  json document;
};
Both run_both(const std::vector<std::string>& args, int exit_code = 0) {
  Both both;
  both.text = run_cli(args);
  std::vector<std::string> with_json = args;
  with_json.push_back("--json");
  const auto result = run_cli(with_json);
  EXPECT_EQ(both.text.exit_code, exit_code) << both.text.err;
  EXPECT_EQ(result.exit_code, exit_code) << result.err;
  EXPECT_NO_THROW(both.document = json::parse(result.out)) << result.out;
  return both;
}

// A text date (MM/DD/YY for 1960 to 2059, else MM/DD/YYYY) in ISO form.
std::string iso_of(const std::string& text) {
  std::string year = text.substr(6);
  if (year.size() == 2) year = (std::stoi(year) < 60 ? "20" : "19") + year;
  return year + "-" + text.substr(0, 2) + "-" + text.substr(3, 2);
}

// A grid number: null for "N/A", else its value.
json number_of(const std::string& text) {
  if (text == "N/A") return nullptr;
  return std::stod(text);
}

// A long-form portfolio: GNRL ("Générale" in Latin-1) from October 1928, with a 2 for 1 jump on
// 3 October 1928, an opening price the grid shows as "N/A", and a last quote in 2022.
class LongHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(qdb::create_portfolio(m_dir.dir()));
    std::vector<qdb::QuoteBar> bars;
    const float closes[] = {100, 100, 50, 50, 60};
    const qdb::DateSerial days[] = {qdb::date_serial(1928, 10, 1), qdb::date_serial(1928, 10, 2),
                                    qdb::date_serial(1928, 10, 3), qdb::date_serial(1928, 10, 4),
                                    qdb::date_serial(2022, 8, 29)};
    for (int i = 0; i < 5; ++i) {
      qdb::QuoteBar bar;
      bar.date = days[i];
      bar.open = bar.high = bar.low = bar.close = closes[i];
      bar.volume = 1200.0f + static_cast<float>(i);
      bar.oi = 7.0f;
      bars.push_back(bar);
    }
    bars[0].open = -1.0f;
    ASSERT_TRUE(qdb::write_data_file(m_dir.dir(), 1, bars, qdb::default_layout(28), 28,
                                     qdb::DateForm::kLong));
    ASSERT_TRUE(qdb::append_master_record(
        m_dir.dir(),
        qdb::make_master_record(1, "GNRL", "G\xE9n\xE9rale", 28, 7, days[0], days[4])));
  }
  std::string dir() const { return m_dir.path().string(); }
  TempDir m_dir;
};

TEST_F(LongHistory, QuotesWithFourDigitYearsAndAnAbsentPrice) {
  const Both both = run_both({"quotes", dir(), "GNRL"});
  const auto lines = lines_of(both.text.out);
  const json& quotes = both.document.at("quotes");
  ASSERT_EQ(quotes.size(), 5u);
  ASSERT_EQ(lines.size(), 5u);
  static const char* const kKeys[] = {"open", "high", "low", "close", "volume", "open_interest"};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto cells = fields_of(lines[i]);
    ASSERT_EQ(cells.size(), 7u) << lines[i];
    EXPECT_EQ(quotes[i].at("date"), iso_of(cells[0])) << lines[i];
    EXPECT_EQ(quotes[i].at("time"), nullptr);
    for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(quotes[i].at(kKeys[k]), number_of(cells[k + 1]));
  }
  EXPECT_EQ(lines.back().substr(0, 14), "10/01/1928\tN/A");
  EXPECT_EQ(quotes.back().at("date"), "1928-10-01");
  EXPECT_EQ(quotes.back().at("open"), nullptr);
  EXPECT_EQ(quotes.front().at("date"), "2022-08-29");
  EXPECT_TRUE(quotes.front().at("volume").is_number_integer());
}

TEST_F(LongHistory, FactsAsInTheText) {
  const Both both = run_both({"facts", dir(), "GNRL"});
  std::vector<std::vector<std::string>> rows;
  for (const auto& line : lines_of(both.text.out)) rows.push_back(fields_of(line));
  const json& facts = both.document;
  ASSERT_EQ(rows.size(), 20u) << both.text.out;
  EXPECT_EQ(rows[0][1] + "/", facts.at("path").get<std::string>() + "/");
  EXPECT_EQ(facts.at("file_number"), std::stoi(rows[1][1]));
  EXPECT_EQ(facts.at("record_length"), std::stoi(rows[2][1]));
  EXPECT_EQ(facts.at("field_count"), std::stoi(rows[3][1]));
  EXPECT_EQ(facts.at("quote_count"), std::stoi(rows[4][1]));
  // The text shows the name in UTF-8 too, read in the page its names read best in.
  EXPECT_EQ(rows[5][1].substr(0, 10), "G\u00E9n\u00E9rale");
  EXPECT_EQ(facts.at("name").get<std::string>().substr(0, 10), "G\u00E9n\u00E9rale");
  EXPECT_EQ(facts.at("first_date_stored"), std::stoi(rows[6][1]));
  EXPECT_EQ(facts.at("last_date_stored"), std::stoi(rows[7][1]));
  EXPECT_EQ(facts.at("first_date"), "1928-10-01");
  EXPECT_EQ(facts.at("last_date"), "2022-08-29");
  EXPECT_EQ(facts.at("periodicity"), rows[8][1]);
  for (int field = 0; field < 8; ++field) {
    const auto& row = rows[10 + static_cast<std::size_t>(field)];
    const json& formats = facts.at("fields")[static_cast<std::size_t>(field)];
    EXPECT_EQ(formats.at("input_format"), row[1].empty() ? json(nullptr) : json(row[1]));
    EXPECT_EQ(formats.at("display_format"), row[2].empty() ? json(nullptr) : json(row[2]));
  }
  EXPECT_EQ(facts.at("fields")[1].at("input_format"), nullptr);  // no time column
  EXPECT_EQ(facts.at("first_quote").at("date"), iso_of(rows[18][1]));
  EXPECT_EQ(facts.at("last_quote").at("date"), iso_of(rows[19][1]));
}

TEST_F(LongHistory, SplitSearchAsInTheText) {
  const Both both = run_both({"split-search", dir()});
  EXPECT_EQ(both.text.out, "GNRL possible 2 for 1 split on 10/03/1928\n");
  const json& splits = both.document.at("splits");
  ASSERT_EQ(splits.size(), 1u);
  EXPECT_EQ(splits[0], json::parse(R"({"symbol":"GNRL","new":2,"old":1,"date":"1928-10-03"})"));
  EXPECT_EQ(both.document.at("symbols_searched"), 1);
}

class JsonCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    ASSERT_EQ(run_cli({"make-demo", s_dir->dir() + "demo"}).exit_code, 0);
    const auto renamed = run_cli({"rename-symbol", stocks(), "ACME", "ACME", "--name",
                                  "Caf\xE9 Industries"});  // Latin-1, as the files hold it
    ASSERT_EQ(renamed.exit_code, 0) << renamed.err;
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  static std::string root() { return s_dir->dir() + "demo"; }
  static std::string stocks() { return root() + "/Stocks"; }
  static TempDir* s_dir;
};
TempDir* JsonCli::s_dir = nullptr;

TEST_F(JsonCli, SymbolsAsInTheTextWithTheNameInUtf8) {
  const Both both = run_both({"symbols", stocks()});
  const auto lines = lines_of(both.text.out);
  const json& symbols = both.document.at("symbols");
  ASSERT_EQ(symbols.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto fields = fields_of(lines[i]);
    EXPECT_EQ(symbols[i].at("file_number").get<int>(), std::stoi(fields[0]));
    EXPECT_EQ(symbols[i].at("symbol"), fields[1]);
    EXPECT_EQ(symbols[i].at("name"), fields[2]);
  }
  EXPECT_EQ(lines[0], "1\tACME\tCaf\u00E9 Industries");
  EXPECT_EQ(symbols[0].at("name"), "Caf\u00E9 Industries");
  EXPECT_EQ(both.document.at("master"), stocks() + "/MASTER");
}

TEST_F(JsonCli, PortfoliosAsInTheText) {
  const Both both = run_both({"portfolios", root()});
  EXPECT_EQ(both.document.at("root"), root());
  EXPECT_EQ(both.document.at("portfolios").get<std::vector<std::string>>(),
            lines_of(both.text.out));
  EXPECT_EQ(both.document.at("portfolios").size(), 3u);
}

TEST_F(JsonCli, CheckOfASoundAndADamagedMaster) {
  const Both sound = run_both({"check", stocks()});
  EXPECT_EQ(sound.text.out, "sound\n");
  EXPECT_EQ(sound.document.at("sound"), true);
  EXPECT_EQ(sound.document.at("problems"), json::array());

  TempDir damaged;
  using testing_support::master_entry;
  testing_support::write_bytes(damaged.path() / "MASTER",
                               testing_support::master_header(3) + master_entry(3, "ONE", "A") +
                                   master_entry(5, "TWO", "B") + master_entry(3, "THREE", "C"));
  const Both both = run_both({"check", damaged.path().string()}, 1);
  auto lines = lines_of(both.text.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(both.document.at("sound"), false);
  EXPECT_EQ(lines[0], both.document.at("master").get<std::string>() + " is damaged:");
  std::vector<std::string> problems;
  for (std::size_t i = 1; i < lines.size(); ++i) problems.push_back(lines[i].substr(2));
  EXPECT_EQ(both.document.at("problems").get<std::vector<std::string>>(), problems);
}

}  // namespace

namespace {

// Latin-1 bytes in UTF-8, as the JSON output carries stored texts.
std::string utf8_of(const std::string& latin1) {
  std::string out;
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace

// symbols --json is written row by row; it must be, byte for byte, the JSON library's print of
// the whole document: names that need escapes, Latin-1, trailing blanks, XMASTER entries, and an
// empty listing.
TEST(JsonStream, SymbolsAsTheLibraryPrintsTheDocument) {
  TempDir dir;
  struct Entry {
    int number;
    std::string symbol;  // as the grid shows it: up to the first byte outside 0x21..0x7F
    std::string name;    // the 16-byte field up to its first zero byte
  };
  const std::vector<Entry> entries = {{1, "Q\"T", "A \"quoted\" one"},
                                      {2, "B\\S", "back\\slash\x7F"},
                                      {3, "CTL", "tab\there\x01\x1F\n\r\b\f!!"},
                                      {4, "LAT", "Caf\xE9 \xFF\xA0"}};
  std::string master = testing_support::master_header(4);
  for (const Entry& entry : entries)
    master += testing_support::master_entry(entry.number, entry.name, entry.symbol);
  testing_support::write_bytes(dir.path() / "MASTER", master);
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  for (const Entry& entry : entries) {
    std::string name = entry.name.substr(0, entry.name.find('\0'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    rows.push_back(nlohmann::ordered_json{
        {"file_number", entry.number}, {"symbol", utf8_of(entry.symbol)}, {"name", utf8_of(name)}});
  }
  const auto listed = run_cli({"symbols", dir.dir(), "--json"});
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  nlohmann::ordered_json document = {{"master", dir.dir() + "MASTER"}, {"symbols", rows}};
  EXPECT_EQ(listed.out, document.dump(2) + "\n");

  testing_support::write_bytes(dir.path() / "MASTER", testing_support::master_header(0));
  const auto empty = run_cli({"symbols", dir.dir(), "--json"});
  ASSERT_EQ(empty.exit_code, 0) << empty.err;
  nlohmann::ordered_json none = {{"master", dir.dir() + "MASTER"},
                                 {"symbols", nlohmann::ordered_json::array()}};
  EXPECT_EQ(empty.out, none.dump(2) + "\n");
}
