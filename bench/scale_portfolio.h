// Generated portfolios shaped like a vendor's, for the benchmarks: 255 MASTER symbols, then
// XMASTER symbols whose F<n>.MWD files hold 5 to 200 quotes, all with lower-case file names; a
// listing-only portfolio whose XMASTER holds 65,255 entries; and the one-symbol 32,766-quote
// series of long_series.h.
#pragma once

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "long_series.h"
#include "qdb/bytes.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace bench_support {

namespace fs = std::filesystem;

inline constexpr int kRecordLength = 28;
// The largest XMASTER listing measured: 65,255 entries, numbers 256 to 65,510.
inline constexpr int kWideXmasterEntries = 65255;

inline std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The XMASTER header for entries entries, followed by them.
inline void write_xmaster(const fs::path& where, std::string xmaster, int entries) {
  auto* header = reinterpret_cast<std::uint8_t*>(xmaster.data());
  header[qdb::xmaster_offset::kMagic] = 'X';
  header[qdb::xmaster_offset::kMagic + 1] = 'M';
  qdb::write_u16le(header + qdb::xmaster_offset::kCount, static_cast<std::uint16_t>(entries));
  qdb::write_u16le(header + qdb::xmaster_offset::kCount2, static_cast<std::uint16_t>(entries));
  qdb::write_u16le(header + qdb::xmaster_offset::kNextNumber,
                   static_cast<std::uint16_t>(qdb::kFirstExtendedNumber + entries));
  std::ofstream(where / "xmaster", std::ios::binary) << xmaster;
}

// Builds the portfolio in where: the MASTER's 255 symbols, then the XMASTER's; symbol n is
// "S<n>".
inline void build_portfolio(const fs::path& where, int symbols) {
  const std::string dir = where.string() + "/";
  qdb::create_portfolio(dir);
  std::mt19937 random(static_cast<unsigned>(symbols));
  std::uniform_int_distribution<int> quotes(5, 200);
  std::uniform_real_distribution<float> step(-0.02f, 0.02f);
  const qdb::SeriesLayout layout = qdb::default_layout(kRecordLength);
  std::string xmaster(qdb::kXmasterRecordSize, '\0');
  int extended = 0;
  for (int n = 1; n <= symbols; ++n) {
    const int number = n <= qdb::kMaxSymbols ? n : qdb::kFirstExtendedNumber + (n - 256);
    std::vector<qdb::QuoteBar> bars(static_cast<std::size_t>(quotes(random)));
    float close = 50.0f;
    for (std::size_t i = 0; i < bars.size(); ++i) {
      close *= 1.0f + step(random);
      if (i == bars.size() / 2 && n % 7 == 0) close /= 2.0f;  // a split now and then
      qdb::QuoteBar& bar = bars[i];
      bar.date = static_cast<qdb::DateSerial>(qdb::date_serial(2020, 1, 1) + static_cast<int>(i));
      bar.open = close;
      bar.high = close * 1.01f;
      bar.low = close * 0.99f;
      bar.close = close;
      bar.volume = 1000.0f;
    }
    qdb::write_data_file(dir, number, bars, layout, kRecordLength);
    const std::string written = qdb::data_file_name(number, "DAT");
    fs::rename(where / written, where / lower(qdb::quote_file_name(number)));
    const qdb::MasterRecord record = qdb::make_master_record(
        number, "S" + std::to_string(n), "ISSUE " + std::to_string(n), kRecordLength,
        kRecordLength / 4, bars.front().date, bars.back().date);
    if (number < qdb::kFirstExtendedNumber) {
      qdb::append_master_record(dir, record);
      continue;
    }
    std::string entry(qdb::kXmasterRecordSize, '\0');
    qdb::fill_xmaster_entry(reinterpret_cast<std::uint8_t*>(entry.data()), record, number,
                            "ISSUE " + std::to_string(n));
    xmaster += entry;
    ++extended;
  }
  if (extended > 0) write_xmaster(where, std::move(xmaster), extended);
  fs::rename(where / "MASTER", where / "master");
}

// A portfolio to list only: an empty MASTER and an XMASTER of entries entries (no data files).
inline void build_wide_listing(const fs::path& where, int entries) {
  qdb::create_portfolio(where.string() + "/");
  std::string xmaster(qdb::kXmasterRecordSize * static_cast<std::size_t>(entries + 1), '\0');
  const qdb::DateSerial first = qdb::date_serial(2020, 1, 1);
  for (int i = 0; i < entries; ++i) {
    const int number = qdb::kFirstExtendedNumber + i;
    const qdb::MasterRecord record =
        qdb::make_master_record(number, "X" + std::to_string(i), "WIDE ISSUE " + std::to_string(i),
                                kRecordLength, kRecordLength / 4, first, first + 10);
    qdb::fill_xmaster_entry(reinterpret_cast<std::uint8_t*>(xmaster.data()) +
                                qdb::kXmasterRecordSize * static_cast<std::size_t>(i + 1),
                            record, number, "WIDE ISSUE NUMBER " + std::to_string(i));
  }
  write_xmaster(where, std::move(xmaster), entries);
}

inline fs::path scratch_root() {
  std::error_code ec;
  const fs::path shm("/dev/shm");
  return fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
}

// A scratch directory removed when it goes away.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name)
      : m_dir(scratch_root() /
              ("dorvane-bench-" + name + "-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(m_dir);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const fs::path& path() const { return m_dir; }
  std::string dir() const { return m_dir.string() + "/"; }

 private:
  fs::path m_dir;
};

// The scaling portfolio of symbols symbols, built on first use and kept for the run.
inline const ScratchDir& scale_portfolio(int symbols) {
  static std::map<int, std::unique_ptr<ScratchDir>> built;
  auto& slot = built[symbols];
  if (!slot) {
    slot = std::make_unique<ScratchDir>("scale-" + std::to_string(symbols));
    build_portfolio(slot->path(), symbols);
  }
  return *slot;
}

// The 65,255-entry listing, built on first use.
inline const ScratchDir& wide_listing() {
  static const auto built = [] {
    auto dir = std::make_unique<ScratchDir>("wide");
    build_wide_listing(dir->path(), kWideXmasterEntries);
    return dir;
  }();
  return *built;
}

// The one-symbol portfolio LONG of 32,766 quotes, built on first use.
inline const ScratchDir& long_portfolio() {
  static const auto built = [] {
    auto dir = std::make_unique<ScratchDir>("long");
    write_long_portfolio(dir->dir(), long_series_bars());
    return dir;
  }();
  return *built;
}

}  // namespace bench_support
