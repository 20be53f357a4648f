// Golden edit cases: each directory under tests/data/edit holds a portfolio, a request and every
// file the portfolio must hold afterwards, written by make_edit_cases.py beside them (which
// encodes the files on its own, without the library). The rewrite must reproduce them byte for
// byte, backups included, and leave no other file behind.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

#include "qdb/rewrite.h"
#include "qdb/status.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::files_in;
using testing_support::read_bytes;

namespace {

struct GoldenRequest {
  qdb::SeriesEditRequest request;
  std::string key;
  int quotes = 0;
};

// Reads request.txt: "name value..." lines; "#" starts a comment; "keep" is a keep mark.
GoldenRequest read_request(const fs::path& file) {
  GoldenRequest golden;
  std::istringstream lines(read_bytes(file));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string name;
    if (!(words >> name)) continue;
    if (name == "key") {
      words >> golden.key;
    } else if (name == "op") {
      int op = 0;
      words >> op;
      golden.request.op = static_cast<qdb::SeriesOp>(op);
    } else if (name == "first" || name == "last") {
      unsigned date = 0;
      words >> date;
      (name == "first" ? golden.request.first_date : golden.request.last_date) =
          static_cast<std::uint16_t>(date);
    } else if (name == "values") {
      for (float& value : golden.request.values) {
        std::string word;
        words >> word;
        value = word == "keep" ? qdb::kKeepValue : std::strtof(word.c_str(), nullptr);
      }
    } else if (name == "quotes") {
      words >> golden.quotes;
    } else {
      ADD_FAILURE() << "unknown request line: " << line;
    }
  }
  return golden;
}

// The name of dir's MASTER file, whatever its case.
std::string master_name(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "MASTER") return name;
  }
  return "MASTER";
}

class GoldenEdit : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenEdit, ReproducesTheExpectedFilesByteForByte) {
  const fs::path dir = testing_support::test_data(std::string("edit/") + GetParam());
  ASSERT_TRUE(fs::is_directory(dir / "input")) << dir;
  const GoldenRequest golden = read_request(dir / "request.txt");

  testing_support::TempDir temp;
  testing_support::copy_tree(dir / "input", temp.path());
  const std::string master = temp.dir() + master_name(temp.path());
  ASSERT_TRUE(qdb::rewrite_series(golden.request, temp.dir(), golden.key, master, golden.quotes));

  const auto expected = files_in(dir / "expected");
  const auto actual = files_in(temp.path());
  for (const auto& [name, content] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) {
      ADD_FAILURE() << name << " is missing";
    } else {
      EXPECT_TRUE(found->second == content) << name << " differs from the expected bytes";
    }
  }
  for (const auto& [name, content] : actual)
    EXPECT_TRUE(expected.count(name) != 0) << name << " was left behind";
}

INSTANTIATE_TEST_SUITE_P(EditCases, GoldenEdit,
                         ::testing::Values("set_no_dop", "set_dop", "set_keep_marks", "scale2_dop",
                                           "scale3_split_no_dop", "scale3_keep_marks_dop",
                                           "delete_middle_dop", "delete_first_no_dop",
                                           "delete_last_lower_case_dop", "delete_only_quote",
                                           "insert_monday_no_dop", "insert_wednesday_dop"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
