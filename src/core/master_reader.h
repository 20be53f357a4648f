// Reading a portfolio's MASTER as whole 53-byte records, for the checks and the repair.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "qdb/file_system.h"
#include "qdb/master.h"

namespace core::master_io {

// A MASTER opened for sequential reading of whole records.
class Reader {
 public:
  // Opens path and reads the header; ok() tells whether both worked.
  explicit Reader(const std::string& path);
  bool ok() const { return m_ok; }
  const qdb::MasterHeader& header() const { return m_header; }
  // The header's first word, its entry count, taken as signed.
  std::int16_t header_count() const;
  std::uint64_t size() const { return m_size; }
  // Reads the next whole record; false at end of file (a trailing piece shorter than a record
  // counts as end of file).
  bool next(qdb::MasterRecord& record);

 private:
  std::unique_ptr<qdb::ReadFile> m_file;
  qdb::MasterHeader m_header;
  std::uint64_t m_size = 0;
  bool m_ok = false;
};

// The text of a 16-byte field at offset: its bytes up to the first zero byte.
std::string field_text(const qdb::MasterRecord& record, int offset);

}  // namespace core::master_io
