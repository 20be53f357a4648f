// Names inside a portfolio.
#include "qdb/portfolio_files.h"

#include <utility>

namespace qdb {
namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The form under which names that differ only in ASCII case meet.
std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

}  // namespace

DirListing::DirListing(std::string dir) : m_dir(std::move(dir)) {
  auto entries = file_system().list(m_dir);
  if (!entries) return;
  m_ok = true;
  m_names.reserve(entries->size());
  m_exact.reserve(entries->size());
  m_folded.reserve(entries->size());
  for (DirEntry& entry : *entries) {
    const std::size_t index = m_names.size();
    m_exact.emplace(entry.name, index);
    m_folded.emplace(folded(entry.name), index);  // keeps the first of names folding alike
    m_names.push_back(std::move(entry.name));
  }
}

std::string DirListing::resolve(std::string_view name) const {
  // An exact match wins over one that differs in case (a directory can hold both).
  const std::string key(name);
  if (const auto exact = m_exact.find(key); exact != m_exact.end())
    return m_dir + m_names[exact->second];
  if (const auto any = m_folded.find(folded(key)); any != m_folded.end())
    return m_dir + m_names[any->second];
  return m_dir + key;
}

bool DirListing::contains(std::string_view name) const {
  return m_folded.find(folded(name)) != m_folded.end();
}

void DirListing::add(std::string_view name) {
  if (contains(name)) return;
  const std::size_t index = m_names.size();
  m_names.emplace_back(name);
  m_exact.emplace(m_names.back(), index);
  m_folded.emplace(folded(name), index);
}

std::string data_file_name(int file_number, std::string_view extension) {
  std::string name(1, 'F');
  name += std::to_string(file_number);
  if (extension.empty() || extension.front() != '.') name += '.';
  name += extension;
  return name;
}

std::pair<std::string, std::string> split_path(std::string_view path) {
  std::size_t cut = path.size();
  while (cut > 0 && !platform_is_separator(path[cut - 1])) --cut;
  return {std::string(path.substr(0, cut)), std::string(path.substr(cut))};
}

std::string resolve_path(std::string_view path) {
  auto [dir, name] = split_path(path);
  if (name.empty()) return std::string(path);
  // An entry of exactly this name needs no listing of the directory.
  if (file_system().exists(std::string(path))) return std::string(path);
  return DirListing(dir).resolve(name);
}

}  // namespace qdb
