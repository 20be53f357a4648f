#include "core/master_image.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "qdb/file_system.h"

namespace core {
namespace {

// The header counts at most 65535 entries; anything far beyond is not a MASTER.
constexpr std::uint64_t kMaxMasterBytes = qdb::kMasterRecordSize * 65537;

}  // namespace

qdb::Result<MasterImage> read_master_image(const std::string& master_path) {
  std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(master_path);
  if (!file) return qdb::error_of(master_path, errno, qdb::kFileOpen);
  const std::uint64_t size = file->size();
  if (size < qdb::kMasterRecordSize || size > kMaxMasterBytes)
    return qdb::Error{qdb::kFileRead, {}};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (file->read(bytes.data(), bytes.size()) != bytes.size())
    return qdb::error_of(master_path, EIO, qdb::kFileRead);

  MasterImage image;
  image.identity = file->identity();
  std::memcpy(image.header.bytes.data(), bytes.data(), qdb::kMasterRecordSize);
  std::size_t at = qdb::kMasterRecordSize;
  for (; at + qdb::kMasterRecordSize <= bytes.size(); at += qdb::kMasterRecordSize) {
    qdb::MasterRecord record;
    std::memcpy(record.bytes.data(), bytes.data() + at, qdb::kMasterRecordSize);
    image.records.push_back(record);
  }
  image.tail = bytes.substr(at);
  return image;
}

std::string master_image_bytes(const MasterImage& image) {
  std::string all(reinterpret_cast<const char*>(image.header.bytes.data()),
                  image.header.bytes.size());
  for (const qdb::MasterRecord& record : image.records)
    all.append(reinterpret_cast<const char*>(record.bytes.data()), record.bytes.size());
  return all + image.tail;
}

bool write_master_image(qdb::WriteFile& out, const MasterImage& image) {
  if (!out.write(image.header.bytes.data(), image.header.bytes.size())) return false;
  for (const qdb::MasterRecord& record : image.records) {
    if (!out.write(record.bytes.data(), record.bytes.size())) return false;
  }
  return image.tail.empty() || out.write(image.tail.data(), image.tail.size());
}

void raise_counts(qdb::MasterHeader& header) {
  header.set_count(static_cast<std::uint16_t>(header.count() + 1));
  header.set_count2(static_cast<std::uint16_t>(header.count2() + 1));
}

void lower_counts(qdb::MasterHeader& header) {
  if (header.count() > 0) header.set_count(static_cast<std::uint16_t>(header.count() - 1));
  if (header.count2() > 0) header.set_count2(static_cast<std::uint16_t>(header.count2() - 1));
}

}  // namespace core
