// Names inside a portfolio and the one safe way of replacing a file.
#include "qdb/portfolio_files.h"

#include <utility>

namespace qdb {
namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

bool is_separator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

// Passes every call through and remembers whether any write failed, so a writer that forgets
// to check one write cannot get a short file renamed into place.
class CheckedWriteFile final : public WriteFile {
 public:
  explicit CheckedWriteFile(WriteFile& inner) : m_inner(inner) {}
  bool write(const void* buffer, std::size_t n) override {
    const bool ok = m_inner.write(buffer, n);
    if (!ok) m_failed = true;
    return ok;
  }
  bool sync() override { return m_inner.sync(); }
  bool close() override { return m_inner.close(); }
  bool failed() const { return m_failed; }

 private:
  WriteFile& m_inner;
  bool m_failed = false;
};

}  // namespace

DirListing::DirListing(std::string dir) : m_dir(std::move(dir)) {
  if (auto entries = file_system().list(m_dir)) m_entries = std::move(*entries);
}

std::string DirListing::resolve(std::string_view name) const {
  // An exact match wins over one that differs in case (a directory can hold both).
  for (const DirEntry& entry : m_entries) {
    if (entry.name == name) return m_dir + entry.name;
  }
  for (const DirEntry& entry : m_entries) {
    if (same_name_ignoring_case(entry.name, name)) return m_dir + entry.name;
  }
  return m_dir + std::string(name);
}

bool DirListing::contains(std::string_view name) const {
  for (const DirEntry& entry : m_entries) {
    if (same_name_ignoring_case(entry.name, name)) return true;
  }
  return false;
}

void DirListing::add(std::string_view name) {
  if (contains(name)) return;
  DirEntry entry;
  entry.name = std::string(name);
  m_entries.push_back(std::move(entry));
}

std::string data_file_name(int file_number, std::string_view extension) {
  std::string name = "F" + std::to_string(file_number);
  if (extension.empty() || extension.front() != '.') name += '.';
  name += extension;
  return name;
}

std::pair<std::string, std::string> split_path(std::string_view path) {
  std::size_t cut = path.size();
  while (cut > 0 && !is_separator(path[cut - 1])) --cut;
  return {std::string(path.substr(0, cut)), std::string(path.substr(cut))};
}

std::string resolve_path(std::string_view path) {
  auto [dir, name] = split_path(path);
  if (name.empty()) return std::string(path);
  // An entry of exactly this name needs no listing of the directory.
  if (file_system().exists(std::string(path))) return std::string(path);
  return DirListing(dir).resolve(name);
}

bool replace_file(const std::string& target, const std::string& temp_path,
                  const std::function<bool(WriteFile&)>& writer) {
  if (target.empty() || temp_path.empty() || target == temp_path) return false;
  FileSystem& files = file_system();
  std::unique_ptr<WriteFile> file = files.create(temp_path);
  if (!file) return false;
  CheckedWriteFile checked(*file);
  bool ok = writer(checked) && !checked.failed();
  ok = ok && file->sync();
  const bool closed = file->close();
  file.reset();
  ok = ok && closed;
  ok = ok && files.rename(temp_path, target);
  if (!ok) files.remove(temp_path);
  return ok;
}

}  // namespace qdb
