// A portfolio's MASTER read record by record in file order, as stored, for what inspects it
// whole: the symbols grid's listing, the checks and the repair. (The symbol commands and the
// date repair, which write it back, hold it whole: master_image.h. A lookup reads it through
// qdb::find_symbol or qdb::PortfolioLookup.)
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "qdb/file_system.h"
#include "qdb/master.h"

namespace core {

// A MASTER opened for reading its whole records in order.
class MasterScan {
 public:
  // Opens path and reads the header; ok() tells whether both worked.
  explicit MasterScan(const std::string& path);
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
std::string master_field_text(const qdb::MasterRecord& record, int offset);

}  // namespace core
