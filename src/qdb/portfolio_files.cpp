// Names inside a portfolio.
#include "qdb/portfolio_files.h"

#include <cerrno>
#include <utility>

namespace qdb {
namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// FNV-1a of the ASCII lower-case form of name.
std::uint32_t folded_hash(std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(ascii_lower(c));
    hash *= 1099511628211ull;
  }
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// The fewest slots a listing has.
constexpr std::size_t kFirstSlots = 64;

bool folds_alike(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}

}  // namespace

DirListing::DirListing(std::string dir) : m_dir(std::move(dir)) {
  // The names first, then the table at its final size: no smaller table is built and outgrown
  // on the way (every page a process touches first costs a fault).
  errno = 0;
  m_ok = file_system().list_each(m_dir, [this](const DirEntry& entry) { append(entry.name); });
  if (!m_ok) {
    m_errno = errno != 0 ? errno : EIO;
    // A listing that failed part-way resolves nothing.
    m_text.clear();
    m_ends.clear();
    m_alike.clear();
    m_hashes.clear();
  }
  std::size_t slots = kFirstSlots;
  while (slots < 2 * (m_ends.size() + 1)) slots *= 2;
  m_slots.assign(slots, kNone);
  for (std::uint32_t index = 0; index < m_ends.size(); ++index) place(index);
}

Error DirListing::error() const {
  std::string shown = m_dir;
  while (shown.size() > 1 && platform_is_separator(shown.back())) shown.pop_back();
  return error_of(shown.empty() ? std::string(".") : shown, m_errno, kFileOpen);
}

std::string_view DirListing::name_at(std::uint32_t index) const {
  const std::uint32_t begin = index == 0 ? 0 : m_ends[index - 1];
  return std::string_view(m_text).substr(begin, m_ends[index] - begin);
}

std::size_t DirListing::slot_of(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t index = m_slots[slot];
    if (index == kNone || (m_hashes[index] == hash && folds_alike(name_at(index), name)))
      return slot;
  }
}

void DirListing::grow() {
  // Every slot holds a different folded name, so each goes to the first free slot of its hash.
  std::vector<std::uint32_t> old;
  old.swap(m_slots);
  m_slots.assign(old.size() * 2, kNone);
  const std::size_t mask = m_slots.size() - 1;
  for (const std::uint32_t index : old) {
    if (index == kNone) continue;
    std::size_t slot = m_hashes[index] & mask;
    while (m_slots[slot] != kNone) slot = (slot + 1) & mask;
    m_slots[slot] = index;
  }
}

void DirListing::append(std::string_view name) {
  m_hashes.push_back(folded_hash(name));
  m_text.append(name);
  m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
  m_alike.push_back(kNone);
}

void DirListing::insert(std::string_view name) {
  // Kept at most half full, so a probe ends after a step or two.
  if ((m_ends.size() + 1) * 2 > m_slots.size()) grow();
  append(name);
  place(static_cast<std::uint32_t>(m_ends.size() - 1));
}

void DirListing::place(std::uint32_t index) {
  const std::size_t slot = slot_of(name_at(index), m_hashes[index]);
  if (m_slots[slot] == kNone) {
    m_slots[slot] = index;
    return;
  }
  // Names folding alike keep their listing order behind the first one.
  std::uint32_t last = m_slots[slot];
  while (m_alike[last] != kNone) last = m_alike[last];
  m_alike[last] = index;
}

std::string DirListing::resolve(std::string_view name) const {
  const std::uint32_t first = m_slots[slot_of(name, folded_hash(name))];
  if (first == kNone) return m_dir + std::string(name);
  // An exact match wins over one that differs in case (a directory can hold both).
  for (std::uint32_t index = first; index != kNone; index = m_alike[index])
    if (name_at(index) == name) return m_dir + std::string(name);
  return m_dir + std::string(name_at(first));
}

bool DirListing::contains(std::string_view name) const {
  return m_slots[slot_of(name, folded_hash(name))] != kNone;
}

void DirListing::add(std::string_view name) {
  if (contains(name)) return;
  insert(name);
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
