// Names in the code page of the machine that wrote them: a Russian (cp1251) and an Arabic
// (cp1256) portfolio, built by the library's writer, listed in UTF-8 with the page auto
// chooses, a rename written back in the page (every other byte as it was), and a name the page
// can't hold refused.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "support/code_page_portfolio.h"
#include "support/temp_dir.h"

namespace {

using testing_support::run_cli;
using testing_support::TempDir;

using testing_support::PageName;
using Named = PageName;

std::string make(const TempDir& temp, const std::vector<Named>& names) {
  testing_support::make_named_portfolio(temp.path(), names);
  return temp.dir();
}

std::string listing(const std::vector<Named>& names) {
  std::string text;
  int number = 1;
  for (const Named& n : names)
    text += std::to_string(number++) + "\t" + n.symbol + "\t" + n.shown + "\n";
  return text;
}

TEST(NameEncoding, ListedInUtf8InThePageAutoChooses) {
  for (const auto* names : {&testing_support::russian_names(), &testing_support::arabic_names()}) {
    TempDir temp;
    const std::string dir = make(temp, *names);
    const auto text = run_cli({"symbols", dir});
    EXPECT_EQ(text.exit_code, 0) << text.err;
    EXPECT_EQ(text.out, listing(*names));
    const auto json = run_cli({"symbols", dir, "--json"});
    ASSERT_EQ(json.exit_code, 0) << json.err;
    const auto document = nlohmann::json::parse(json.out);
    ASSERT_EQ(document["symbols"].size(), names->size());
    for (std::size_t i = 0; i < names->size(); ++i)
      EXPECT_EQ(document["symbols"][i]["name"], (*names)[i].shown);
    // The page named outright reads the same; another page reads other characters.
    const char* page = names == &testing_support::russian_names() ? "cp1251" : "windows-1256";
    EXPECT_EQ(run_cli({"symbols", dir, "--encoding", page}).out, listing(*names));
    EXPECT_NE(run_cli({"symbols", dir, "--encoding=latin1"}).out, listing(*names));
    // A key is taken in UTF-8 and looked up in the page's bytes.
    const auto facts = run_cli({"facts", dir, (*names)[1].shown});
    EXPECT_EQ(facts.exit_code, 0) << facts.err;
    EXPECT_NE(facts.out.find(std::string("Name of issue\t") + (*names)[1].shown), std::string::npos)
        << facts.out;
  }
  const auto unknown = run_cli({"symbols", ".", "--encoding", "utf-16"});
  EXPECT_EQ(unknown.exit_code, 2);
  EXPECT_NE(unknown.err.find("unknown encoding utf-16"), std::string::npos) << unknown.err;
}

// MASTER bytes outside the given entry's 53-byte record.
std::string other_records(const std::string& master, int entry_index) {
  std::string bytes = master;
  bytes.erase(static_cast<std::size_t>(53 * (entry_index + 1)), 53);
  return bytes;
}

TEST(NameEncoding, RenameWritesThePageAndKeepsEveryOtherByte) {
  for (const auto* names : {&testing_support::russian_names(), &testing_support::arabic_names()}) {
    TempDir temp;
    const std::string dir = make(temp, *names);
    const auto master = temp.path() / "MASTER";
    const std::string before = testing_support::read_bytes(master);
    const bool russian = names == &testing_support::russian_names();
    const char* new_name = russian ? "Газпром нефть" : "سابك";
    const char* new_bytes =
        russian ? "\xC3\xE0\xE7\xEF\xF0\xEE\xEC \xED\xE5\xF4\xF2\xFC" : "\xD3\xC7\xC8\xDF";
    const auto renamed =
        run_cli({"rename-symbol", dir, (*names)[0].symbol, "NEW", "--name", new_name});
    ASSERT_EQ(renamed.exit_code, 0) << renamed.err;
    const std::string after = testing_support::read_bytes(master);
    EXPECT_EQ(other_records(after, 0), other_records(before, 0));
    EXPECT_EQ(after.substr(53 + 7, std::string(new_bytes).size()), new_bytes);

    std::vector<Named> expected = *names;
    expected[0] = {"NEW", new_bytes, new_name};
    EXPECT_EQ(run_cli({"symbols", dir}).out, listing(expected));

    // A rename of the symbol alone keeps the name's bytes; a name the page can't hold is
    // refused, naming the character, and nothing is written.
    ASSERT_EQ(run_cli({"rename-symbol", dir, (*names)[1].symbol, "OTHER"}).exit_code, 0);
    const std::string kept = testing_support::read_bytes(master);
    EXPECT_EQ(kept.substr(2 * 53 + 7, 16), after.substr(2 * 53 + 7, 16));
    const char* foreign = russian ? "Café" : "Ωmega";
    const auto refused = run_cli({"rename-symbol", dir, "OTHER", "X", "--name", foreign});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find(russian ? "\"é\" (U+00E9)" : "\"Ω\" (U+03A9)"), std::string::npos)
        << refused.err;
    EXPECT_EQ(testing_support::read_bytes(master), kept);
  }
}

}  // namespace
