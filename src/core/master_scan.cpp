#include "core/master_scan.h"

#include <algorithm>

namespace core {

MasterScan::MasterScan(const std::string& path) : m_file(qdb::file_system().open_read(path)) {
  if (!m_file) return;
  m_size = m_file->size();
  m_ok = m_file->read(m_header.bytes.data(), m_header.bytes.size()) == m_header.bytes.size();
}

std::int16_t MasterScan::header_count() const {
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(m_header.bytes[0] | (m_header.bytes[1] << 8)));
}

bool MasterScan::next(qdb::MasterRecord& record) {
  if (!m_ok) return false;
  return m_file->read(record.bytes.data(), record.bytes.size()) == record.bytes.size();
}

std::string master_field_text(const qdb::MasterRecord& record, int offset) {
  const auto* first = record.bytes.data() + offset;
  const auto* last = first + qdb::master_offset::kTextWidth;
  return std::string(first, std::find(first, last, std::uint8_t{0}));
}

}  // namespace core
