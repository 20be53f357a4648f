// Fuzzes the data reader: the first input bytes give the MASTER record's record length and
// field count and pick a DOP file, the rest is the data file. Windows, full reads, the date
// search and the facts report all run on it.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_work_dir.h"
#include "qdb/dat.h"
#include "qdb/describe.h"
#include "qdb/series.h"

namespace {

namespace fs = std::filesystem;

const fs::path& work_dir() {
  static const FuzzWorkDir dir("dat-fuzz");
  return dir.path();
}

void write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string master_with(std::uint8_t record_length, std::uint8_t field_count) {
  std::string m(106, '\0');
  m[0] = 1;  // one entry
  m[2] = 1;
  m[53 + 0] = 1;  // F1
  m[53 + 3] = static_cast<char>(record_length);
  m[53 + 4] = static_cast<char>(field_count);
  m.replace(53 + 7, 16, "FUZZ ISSUE      ");
  m[53 + 33] = 'D';
  m.replace(53 + 36, 16, "FZ              ");
  return m;
}

constexpr const char* kDops[] = {
    nullptr,
    "\"DATE\",0,0\n\"OPEN\",2,2\n\"HIGH\",2,2\n\"LOW\",2,2\n\"CLOSE\",2,2\n\"VOL\",1000,100\n",
    "\"DATE\"\n\"TIME\"\n\"CLOSE\"\n",
    "\"CLOSE\"\n\"DATE\"\n",
};

void check(const qdb::QuoteSeries& s) {
  if (s.count < 0 || s.count > s.capacity) __builtin_trap();
  for (int i = 0; i < s.count; ++i) (void)s.bar(i);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const fs::path& dir = work_dir();
  write(dir / "MASTER", master_with(data[0], data[1]));
  const char* dop = kDops[data[2] % 4];
  std::error_code ec;
  if (dop) {
    write(dir / "F1.DOP", dop);
  } else {
    fs::remove(dir / "F1.DOP", ec);
  }
  write(dir / "F1.DAT", std::string(reinterpret_cast<const char*>(data + 3), size - 3));
  const std::string root = dir.string();

  qdb::QuoteSeries s;
  if (qdb::series_alloc(s, 400) != 0) return 0;
  const std::int32_t windows[][2] = {{0, 400}, {-1, 1}, {0, -1}, {5, -1}, {-1, -1}, {3, 2}};
  for (const auto& w : windows) {
    qdb::read_series(s, root, "FZ", w[0], w[1]);
    check(s);
  }
  qdb::SeriesReader reader;
  if (reader.open(root, "fuzz issue") == 0) {
    for (std::int32_t start = reader.total() - 1; start >= 0 && start > reader.total() - 5;
         --start) {
      if (reader.read(s, "FZ", start, 1) != 0) break;
      check(s);
    }
    if (reader.read(s, "FZ", reader.total(), 1) != qdb::kRecordNotFound) __builtin_trap();
  }
  qdb::series_free(s);

  qdb::DateSerial date_out = 0;
  std::uint16_t time_out = 0;
  for (qdb::DateSerial date : {1, 22281, 36527, 73049, 90000}) {
    qdb::find_quote(root, "FZ", date, 0, &date_out, &time_out);
  }
  qdb::SeriesDescription description;
  qdb::describe_series(root, "FZ", description);
  return 0;
}
