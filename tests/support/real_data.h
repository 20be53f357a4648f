// The real portfolios written by other software, which some tests read when they are present.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testing_support {

// Path of one of the real portfolios ("hangseng-mini", "mininge"; "" for their directory):
// under DORVANE_REAL_DATA_DIR as set when the tests run, else as the build configured it.
std::filesystem::path real_portfolio(const std::string& name);

// Why a test that needs the real portfolio name cannot run, or "" when it is present.
std::string real_portfolio_missing(const std::string& name);

}  // namespace testing_support

// Skips the calling test (or fixture SetUp) when the real portfolio name is not present.
#define SKIP_WITHOUT_REAL_PORTFOLIO(name)                                          \
  do {                                                                             \
    const std::string why_missing = testing_support::real_portfolio_missing(name); \
    if (!why_missing.empty()) GTEST_SKIP() << why_missing;                         \
  } while (false)
