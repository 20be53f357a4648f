// Small portfolios for the fuzz targets that change files: built once with the library's own
// writers, then each input's bytes patch the files before a command runs, and the files are
// compared with what they were when the command fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/import.h"
#include "core/portfolio_index.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace fuzz {

namespace fs = std::filesystem;

// File name -> bytes, for the files directly in a directory.
using Files = std::map<std::string, std::string>;

inline std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void write_file(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every entry of dir: regular files with their bytes, anything else marked.
inline Files files_of(const fs::path& dir) {
  Files files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    files[entry.path().filename().string()] =
        entry.is_regular_file() ? read_file(entry.path()) : std::string("(not a file)");
  return files;
}

// Makes dir hold exactly files.
inline void put_files(const fs::path& dir, const Files& files) {
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  for (const auto& [name, bytes] : files) write_file(dir / name, bytes);
}

struct Symbol {
  int number;
  const char* symbol;
  const char* name;
  int record_length;
  bool dop;
};

// A new portfolio (MASTER and EMASTER) holding the symbols, each with weekday quotes of
// January 2000 from the 3rd to the 14th; those numbered from 256 are in the XMASTER.
inline Files make_portfolio(const fs::path& dir, const std::vector<Symbol>& symbols) {
  std::error_code ec;
  fs::remove_all(dir, ec);
  core::ImportError error;
  if (!core::create_new_portfolio(dir.string(), error)) __builtin_trap();
  std::vector<qdb::QuoteBar> bars;
  for (int day = 3; day <= 14; ++day) {
    const qdb::DateSerial date = qdb::date_serial(2000, 1, day);
    if (qdb::is_weekend(date)) continue;
    const auto price = static_cast<float>(10 + day);
    bars.push_back({date, 0, price, price + 1, price - 1, price + 0.5f, 1000.0f * day, 7.0f});
  }
  for (const Symbol& s : symbols) {
    const qdb::SeriesLayout layout = qdb::default_layout(s.record_length);
    if (!qdb::write_data_file(dir.string(), s.number, bars, layout, s.record_length))
      __builtin_trap();
    if (s.dop && !qdb::write_dop_file(dir.string(), s.number, layout)) __builtin_trap();
    if (s.number >= qdb::kFirstExtendedNumber)
      fs::rename(dir / qdb::data_file_name(s.number, "DAT"), dir / qdb::quote_file_name(s.number));
    const qdb::MasterRecord record =
        qdb::make_master_record(s.number, s.symbol, s.name, s.record_length, s.record_length / 4,
                                bars.front().date, bars.back().date);
    qdb::Result<core::PortfolioIndex> index =
        core::read_portfolio_index(qdb::master_path_in(dir.string()));
    if (!index) __builtin_trap();
    core::add_entry(*index, core::EntryToAdd{record, s.name, {}, {}}, s.number);
    if (!core::write_portfolio_index(*index, ".~NU", false)) __builtin_trap();
  }
  Files files = files_of(dir);
  return files;
}

// The input, read from the front; past its end every read gives 0.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool empty() const { return m_at >= m_size; }
  std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
  std::uint16_t word() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }

  // The rest of the input as patches of the named files: each patch picks a file, an offset
  // and a byte to put there, or (high bit of the pick) cuts the file at the offset.
  void patch(Files& files, const std::vector<std::string>& names) {
    while (!empty() && !names.empty()) {
      const std::uint8_t pick = byte();
      const std::uint16_t offset = word();
      const std::uint8_t value = byte();
      auto found = files.find(names[(pick & 0x7F) % names.size()]);
      if (found == files.end()) continue;
      std::string& bytes = found->second;
      if ((pick & 0x80) != 0) {
        if (offset < bytes.size()) bytes.resize(offset);
      } else if (!bytes.empty()) {
        bytes[offset % bytes.size()] = static_cast<char>(value);
      }
    }
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_at = 0;
};

}  // namespace fuzz
