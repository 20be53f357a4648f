// A change of one entry of a portfolio's index files, as the symbol commands make it: the
// portfolio locked, its index files read, the entry found by the text a row shows, and the
// files written back, each step answering the failure the user must hear about.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_result.h"
#include "core/portfolio_index.h"
#include "qdb/error.h"
#include "qdb/master.h"
#include "qdb/portfolio_lock.h"

namespace core {

class IndexEdit {
 public:
  // Locks the directory of the MASTER at master_text (found whatever its case) and the
  // directories of also_locked for as long as the edit lives.
  explicit IndexEdit(const std::string& master_text, std::vector<std::string> also_locked = {});

  // Reads the index files and finds the first entry whose text_of equals text (and, when
  // file_number is not 0, that uses file_number: the one entry a row was read from, even when
  // another shows the same text). The entry found, or the Error whose cause is the message to
  // show: the lock (kFileOpen), the unreadable MASTER (kFileRead) or the missing symbol
  // (kRecordNotFound).
  qdb::Result<IndexEntry> find(const std::function<std::string(const qdb::MasterRecord&)>& text_of,
                               const std::string& text, int file_number = 0);

  // The index and the entry found (valid after find succeeded).
  PortfolioIndex& index() { return *m_index; }
  const IndexEntry& entry() const { return *m_entry; }
  const std::string& master_path() const { return m_master_path; }

  // Writes the changed index files back (write_portfolio_index): an ok result, or the failure
  // naming what could not be written or restored.
  CommandResult write(std::string_view temp_suffix, bool backup);

 private:
  std::string m_master_path;
  qdb::PortfolioLock m_lock;
  std::optional<PortfolioIndex> m_index;
  std::optional<IndexEntry> m_entry;
};

}  // namespace core
