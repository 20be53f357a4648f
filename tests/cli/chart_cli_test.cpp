// dorvane-cli chart, run as the real binary (with the dorvane-chart program beside it) on a
// temporary demo tree: the picture's size, the suspect lines, and the refused requests.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testing_support::lines_of;
using testing_support::names_in;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;
using testing_support::write_bytes;

// Width and height from a PNG's header chunk; {0, 0} when the bytes are not a PNG.
std::pair<std::uint32_t, std::uint32_t> png_size(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&bytes](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
      value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {word(16), word(20)};
}

class ChartCli : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef DORVANE_CHART_BUILT
    GTEST_SKIP() << "dorvane-chart is built only with Qt";
#endif
    const auto made = run_cli({"make-demo", m_dir.dir() + "demo"});
    ASSERT_EQ(made.exit_code, 0) << made.err;
    fs::create_directory(m_dir.path() / "out");
  }
  std::string stocks() const { return m_dir.dir() + "demo/Stocks"; }
  fs::path out() const { return m_dir.path() / "out"; }
  TempDir m_dir;
};

TEST_F(ChartCli, WritesThePictureOfTheAskedSizeAndListsTheSuspectsDrawn) {
  struct Case {
    std::vector<std::string> options;
    std::uint32_t width, height;
    std::vector<std::string> lines;
  };
  const std::vector<std::string> split = {"06/14/99 jump from previous close"};
  const Case cases[] = {
      {{}, 1200, 700, split},
      {{"--size", "640x480"}, 640, 480, split},
      {{"--from", "06/01/99", "--to", "06/30/1999", "--size", "100x10000"}, 100, 10000, split},
      // A span without the split day draws no suspect.
      {{"--from", "01/03/00"}, 1200, 700, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const fs::path png = out() / "HRBR.png";
    std::vector<std::string> args = {"chart", stocks(), "HRBR", png.string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const auto result = run_cli(args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(lines_of(result.out), c.lines);
    EXPECT_EQ(png_size(read_bytes(png)), std::make_pair(c.width, c.height));
    EXPECT_EQ(names_in(out()), std::vector<std::string>{"HRBR.png"});
  }
}

// Every refusal exits 1 (2 for words that are not the command's), says why, and leaves the
// output directory as it was: an existing picture untouched, no new or temporary file.
TEST_F(ChartCli, RefusesBadRequestsWithoutTouchingTheOutput) {
  write_bytes(out() / "old.png", "old picture");
  write_bytes(out() / "file", "");
  struct Case {
    std::vector<std::string> words;  // after "chart DIR"
    int exit_code;
    std::string message;
  };
  const std::string old_png = (out() / "old.png").string();
  const Case cases[] = {
      {{"NOPE", old_png}, 1, "NOPE"},
      {{"HRBR", old_png, "--size", "99x500"}, 1, "100 to 10000"},
      {{"HRBR", old_png, "--size", "1200x10001"}, 1, "100 to 10000"},
      {{"HRBR", old_png, "--size", "1200"}, 1, "WIDTHxHEIGHT"},
      {{"HRBR", old_png, "--size", "-5x300"}, 1, "WIDTHxHEIGHT"},
      {{"HRBR", old_png, "--from", "02/30/99"}, 1, "not a date"},
      {{"HRBR", old_png, "--to", "1999-06-01"}, 1, "not a date"},
      {{"HRBR", old_png, "--from", "07/01/99", "--to", "06/01/99"}, 1, "after"},
      {{"HRBR", old_png, "--from", "01/01/2040"}, 1, "no quote"},
      {{"HRBR", (out() / "old.txt").string()}, 1, ".png"},
      {{"HRBR", (out() / "file" / "x.png").string()}, 1, "could not be written"},
      {{"HRBR", old_png, "--width", "5"}, 2, "usage"},
      {{"HRBR"}, 2, "usage"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.words));
    std::vector<std::string> args = {"chart", stocks()};
    args.insert(args.end(), c.words.begin(), c.words.end());
    const auto result = run_cli(args);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(read_bytes(out() / "old.png"), "old picture");
    EXPECT_EQ(names_in(out()), (std::vector<std::string>{"file", "old.png"}));
  }
}

}  // namespace
