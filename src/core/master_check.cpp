// MASTER soundness checks.
#include "core/master_check.h"

#include <array>

#include "core/master_scan.h"
#include "qdb/portfolio_files.h"

namespace core {
namespace {

bool is_symbol_char(std::uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

std::string entry_words(int entry) { return "entry " + std::to_string(entry); }

// Every file number met a second time, in file order (entries counted from 1).
std::vector<std::string> repeated_numbers(MasterScan& reader, bool first_only) {
  std::vector<std::string> problems;
  std::array<int, 256> first_entry{};
  qdb::MasterRecord record;
  for (int entry = 1; reader.next(record); ++entry) {
    // A sub-portfolio's "<DIR>" entry names no data file: its file number is not one.
    if (record.is_directory()) continue;
    const int number = record.file_number();
    if (first_entry[static_cast<std::size_t>(number)] == 0) {
      first_entry[static_cast<std::size_t>(number)] = entry;
      continue;
    }
    problems.push_back("file number " + std::to_string(number) + " (F" + std::to_string(number) +
                       ".DAT) is used by " +
                       entry_words(first_entry[static_cast<std::size_t>(number)]) +
                       " and again by " + entry_words(entry));
    if (first_only) break;
  }
  return problems;
}

std::vector<std::string> blank_symbols(MasterScan& reader, bool first_only) {
  std::vector<std::string> problems;
  qdb::MasterRecord record;
  for (int entry = 1; reader.next(record); ++entry) {
    if (is_symbol_char(record.bytes[qdb::master_offset::kSymbol])) continue;
    if (record.is_directory()) {
      problems.push_back(entry_words(entry) + " (the sub-portfolio directory entry \"" +
                         record.directory_name() + "\") has a blank symbol");
      if (first_only) break;
      continue;
    }
    if (record.file_number() == 0) {
      problems.push_back(entry_words(entry) + " is an empty slot (file number 0, no symbol)");
      if (first_only) break;
      continue;
    }
    problems.push_back(entry_words(entry) + " (file number " +
                       std::to_string(record.file_number()) + ", issue name \"" +
                       master_field_text(record, qdb::master_offset::kIssueName) +
                       "\") has a blank symbol");
    if (first_only) break;
  }
  return problems;
}

}  // namespace

MasterCheckResult ValidateMaster(const std::string& master_path) {
  MasterCheckResult result;
  const std::string path = qdb::resolve_path(master_path);
  {
    MasterScan reader(path);
    if (!reader.ok()) return result;
    result.readable = true;
    result.header_count = reader.header_count();
    result.size = reader.size();
  }
  const std::int64_t expected =
      static_cast<std::int64_t>(qdb::kMasterRecordSize) * (result.header_count + 1);
  if (static_cast<std::int64_t>(result.size) != expected) {
    std::string words = "the file is " + std::to_string(result.size) +
                        " bytes long, but its header count of " +
                        std::to_string(result.header_count) + " needs " + std::to_string(expected) +
                        " bytes (53 bytes for the header and for each entry)";
    const std::uint64_t whole = result.size / qdb::kMasterRecordSize;
    words += "; it holds " + std::to_string(whole > 0 ? whole - 1 : 0) + " whole entries";
    if (result.size % qdb::kMasterRecordSize != 0)
      words += " and " + std::to_string(result.size % qdb::kMasterRecordSize) +
               " bytes of a cut-off one";
    result.problems.push_back(words);
  }
  for (auto* check : {&repeated_numbers, &blank_symbols}) {
    MasterScan reader(path);
    if (!reader.ok()) {
      result.readable = false;
      result.problems.clear();
      return result;
    }
    for (auto& problem : check(reader, false)) result.problems.push_back(std::move(problem));
  }
  result.sound = result.problems.empty();
  return result;
}

bool CheckFileNumbers(const std::string& master_path, std::string* problem) {
  MasterScan reader(qdb::resolve_path(master_path));
  if (!reader.ok()) return false;
  const auto problems = repeated_numbers(reader, true);
  if (problems.empty()) return true;
  if (problem) *problem = problems.front();
  return false;
}

bool CheckSymbols(const std::string& master_path, std::string* problem) {
  MasterScan reader(qdb::resolve_path(master_path));
  if (!reader.ok()) return false;
  const auto problems = blank_symbols(reader, true);
  if (problems.empty()) return true;
  if (problem) *problem = problems.front();
  return false;
}

}  // namespace core
