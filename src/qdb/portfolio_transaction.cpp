// One change of several files of a portfolio, made as a whole or not at all.
#include "qdb/portfolio_transaction.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace qdb {
namespace {

char ascii_upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Where a file takes its place among the others: the index files last, the MASTER the very last.
int commit_rank(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = ascii_upper(c);
  if (upper == "XMASTER") return 1;
  if (upper == "EMASTER") return 2;
  if (upper == "MASTER") return 3;
  return 0;
}

}  // namespace

struct PortfolioTransaction::Entry {
  std::string path;
  int rank = 0;
  bool existed = false;                 // the target existed when staged
  std::optional<std::string> original;  // its content as the caller read it
  std::string backup;                   // the backup() made of it; empty when none
  std::unique_ptr<StagedFile> staged;   // the new file; null for a removal
};

PortfolioTransaction::PortfolioTransaction(std::string dir) : m_listing(std::move(dir)) {}

PortfolioTransaction::PortfolioTransaction(DirListing listing) : m_listing(std::move(listing)) {}

// The staged files not committed are removed with their StagedFile.
PortfolioTransaction::~PortfolioTransaction() = default;

std::string PortfolioTransaction::path_of(std::string_view name) const {
  return m_listing.resolve(name);
}

Result<void> PortfolioTransaction::backup(std::string_view name, std::string_view backup_name) {
  if (!m_listing.ok()) return refused();
  const std::string from = path_of(name);
  const std::string to = path_of(backup_name);
  if (Result<void> copied = copy_file(from, to); !copied) return copied;
  m_listing.add(split_path(to).second);
  for (const auto& entry : m_entries)
    if (entry->path == from) entry->backup = to;
  m_backups.emplace_back(from, to);
  return {};
}

Result<void> PortfolioTransaction::stage(std::string_view name, std::string_view bytes,
                                         const Staging& how) {
  return add(
      name, [bytes](WriteFile& out) { return out.write(bytes.data(), bytes.size()); }, how);
}

Result<void> PortfolioTransaction::stage(std::string_view name,
                                         const std::function<bool(WriteFile&)>& writer,
                                         const Staging& how) {
  return add(name, writer, how);
}

Result<void> PortfolioTransaction::add(std::string_view name,
                                       const std::function<bool(WriteFile&)>& writer,
                                       const Staging& how) {
  if (!m_listing.ok()) return refused();
  auto entry = std::make_unique<Entry>();
  entry->path = path_of(name);
  const std::string own_name = split_path(entry->path).second;
  entry->rank = commit_rank(own_name);
  entry->existed = m_listing.contains(own_name);
  entry->original = how.original;
  for (const auto& [from, to] : m_backups)
    if (from == entry->path) entry->backup = to;
  const std::string temp = how.temp_name.empty() ? path_of(own_name + std::string(how.temp_suffix))
                                                 : path_of(how.temp_name);
  entry->staged = std::make_unique<StagedFile>(
      entry->path, temp, how.expected, how.like.empty() ? std::string() : path_of(how.like));
  if (how.defer_sync) {
    entry->staged->defer_syncs();
    m_deferred_sync = true;
  }
  Result<void> written = entry->staged->write(writer);
  m_entries.push_back(std::move(entry));
  if (!written && !m_failed) m_failed = written.error();
  return written;
}

void PortfolioTransaction::remove(std::string_view name, std::optional<std::string> original) {
  if (!m_listing.ok()) {
    (void)refused();
    return;
  }
  auto entry = std::make_unique<Entry>();
  entry->path = path_of(name);
  entry->rank = commit_rank(split_path(entry->path).second);
  entry->existed = m_listing.contains(split_path(entry->path).second);
  entry->original = std::move(original);
  for (const auto& [from, to] : m_backups)
    if (from == entry->path) entry->backup = to;
  m_entries.push_back(std::move(entry));
}

Result<void> PortfolioTransaction::commit() {
  if (m_failed) return *m_failed;
  if (m_committed) return Error{kInvalidParm, {}};
  m_committed = true;
  std::vector<Entry*> order;
  for (const auto& entry : m_entries) order.push_back(entry.get());
  // The renames by rank, in the order staged within a rank; the removals after them.
  std::stable_sort(order.begin(), order.end(), [](const Entry* a, const Entry* b) {
    const bool a_removes = a->staged == nullptr;
    const bool b_removes = b->staged == nullptr;
    return a_removes != b_removes ? b_removes : a->rank < b->rank;
  });
  // Every target must still be the file its caller read before any takes its place, so a
  // refusal changes nothing.
  for (const Entry* entry : order) {
    if (!entry->staged) continue;
    if (Result<void> unchanged = entry->staged->target_unchanged(); !unchanged)
      return fail(std::move(unchanged).error());
  }
  FileSystem& files = file_system();
  if (m_deferred_sync && files.can_sync_all()) {
    errno = 0;
    if (!files.sync_all(m_listing.dir())) {
      const int error = errno != 0 ? errno : EIO;
      return fail(Error{kFileWrite, std::string("the new files could not be forced to the disk: ") +
                                        std::strerror(error)});
    }
  }
  for (Entry* entry : order) {
    if (entry->staged) {
      if (Result<void> placed = entry->staged->commit(false); !placed)
        return fail(std::move(placed).error());
    } else {
      errno = 0;
      if (!files.remove(entry->path) && errno != ENOENT) return fail(last_error_of(entry->path));
    }
    m_done.push_back(entry);
  }
  for (const Entry* entry : order)
    if (entry->staged) m_listing.add(split_path(entry->path).second);
  // Every file is in place: a failed sync of the directory is no reason to undo them (the
  // undoing would need the same sync), but the change is not known to be on the disk.
  if (!m_done.empty()) {
    errno = 0;
    if (!file_system().sync_directory(m_listing.dir()))
      return not_confirmed_error(m_listing.dir(), errno);
  }
  return {};
}

Error PortfolioTransaction::refused() {
  // Without the directory's entries no file can be told to exist or not: one taken for absent
  // would be replaced without a way back, or removed by an undo as if created here.
  if (!m_failed) m_failed = m_listing.error();
  return *m_failed;
}

bool PortfolioTransaction::restore(const Entry& entry) {
  // A file created goes again; one that was to go but was not there stays absent.
  if (!entry.existed) return entry.staged == nullptr || file_system().remove(entry.path);
  if (entry.original) {
    const std::string name = split_path(entry.path).second;
    StagedFile back(entry.path, path_of(name + std::string(suffix::kRestore)));
    const std::string& bytes = *entry.original;
    return back.write([&bytes](WriteFile& out) { return out.write(bytes.data(), bytes.size()); })
               .ok() &&
           back.commit(false).ok();
  }
  return !entry.backup.empty() && copy_file(entry.backup, entry.path).ok();
}

Error PortfolioTransaction::fail(Error error) {
  for (const auto& entry : m_entries)
    if (entry->staged) entry->staged->discard();
  // Latest first: the reverse of the order they took their places.
  for (auto done = m_done.rbegin(); done != m_done.rend(); ++done) {
    if (!restore(**done)) m_restore_failed += "\n" + (*done)->path;
  }
  if (!m_done.empty()) file_system().sync_directory(m_listing.dir());
  m_done.clear();
  return error;
}

}  // namespace qdb
