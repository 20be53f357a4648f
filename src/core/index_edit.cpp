#include "core/index_edit.h"

#include <utility>

#include "core/symbol_messages.h"
#include "qdb/portfolio_files.h"

namespace core {
namespace {

// The directories to lock: those asked for and the MASTER's own.
std::vector<std::string> dirs_to_lock(const std::string& master_path,
                                      std::vector<std::string> dirs) {
  dirs.push_back(qdb::split_path(master_path).first);
  return dirs;
}

}  // namespace

IndexEdit::IndexEdit(const std::string& master_text, std::vector<std::string> also_locked)
    : m_master_path(qdb::resolve_path(master_text)),
      m_lock(dirs_to_lock(m_master_path, std::move(also_locked))) {}

qdb::Result<IndexEntry> IndexEdit::find(
    const std::function<std::string(const qdb::MasterRecord&)>& text_of, const std::string& text,
    int file_number) {
  if (!m_lock.locked()) return qdb::Error{qdb::kFileOpen, m_lock.failure()};
  qdb::Result<PortfolioIndex> index = read_portfolio_index(m_master_path);
  if (!index)
    return qdb::Error{qdb::kFileRead, master_unreadable_message(m_master_path, index.error())};
  m_index = std::move(index).value();
  m_entry = find_entry(*m_index, [&](const qdb::MasterRecord& record) {
    return (file_number == 0 || record.file_number() == file_number) && text_of(record) == text;
  });
  if (!m_entry)
    return qdb::Error{qdb::kRecordNotFound, symbol_not_found_message(text, m_master_path)};
  return *m_entry;
}

CommandResult IndexEdit::write(std::string_view temp_suffix, bool backup) {
  const bool several = m_index->emaster_changed || m_index->xmaster_changed;
  std::string restore_failed;
  if (const qdb::Result<void> written =
          write_portfolio_index(*m_index, temp_suffix, backup, &restore_failed);
      !written) {
    return CommandResult::failure(
        index_unwritable_message(m_master_path, several, restore_failed, written.error()),
        written.error().status);
  }
  CommandResult result;
  result.ok = true;
  return result;
}

}  // namespace core
