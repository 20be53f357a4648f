// Why a symbol's quotes can't be read: the steps of the read path checked one by one.
#include "qdb/series_problem.h"

#include <memory>
#include <optional>

#include "qdb/bytes.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/lookup_detail.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/status.h"
#include "qdb/text.h"

namespace qdb {

std::string sub_portfolio_problem(std::string_view dir, std::string_view name,
                                  std::string_view subdir) {
  const DirListing listing(normalize_dir(dir));
  return std::string(name) + " is a sub-portfolio, not a symbol: its symbols are listed in " +
         master_path_in(listing.resolve(subdir));
}

std::string series_problem(std::string_view root, std::string_view key, int file_number) {
  MasterRecord record;
  std::string dir;
  std::optional<DirListing> listing;
  const StatusCode found = detail::find_symbol_listed(root, key, record, dir, listing, file_number);
  if (found == kFileNotFound && file_number != 0) {
    // Only when the text still names an entry is it the number that no longer fits; otherwise
    // the causes below apply as to any key.
    MasterRecord any;
    std::string any_dir;
    if (find_symbol(root, key, any, any_dir) != kSuccess) return series_problem(root, key);
    return "the MASTER of " + std::string(root) + " no longer lists " + std::string(key) +
           " with file number " + std::to_string(file_number) + "; it changed since it was read";
  }
  if (found == kFileNotFound) {
    if (const auto entry = PortfolioLookup(DirListing(normalize_dir(root))).find_directory(key))
      return sub_portfolio_problem(root, key, entry->directory_name());
    return "no symbol or issue named " + std::string(key) + " is listed in the MASTER of " +
           std::string(root);
  }
  if (found != kSuccess || !listing) {
    return "the MASTER of " + std::string(root) + " can't be read (" + status_text(found) + ")";
  }

  const int number = record.file_number();
  const int length = record.record_length();
  const std::string dat = quote_file_name(number);  // F<n>.MWD for an XMASTER entry
  const std::string dop = data_file_name(number, "DOP");
  if (!listing->contains(dat)) return dat + " is missing";

  SeriesLayout layout;
  if (detail::read_layout_listed(*listing, number, layout, length, record.field_count()) !=
      kSuccess) {
    if (!listing->contains(dop)) {
      return dat + " has " + std::to_string(length) + "-byte records and there is no " + dop +
             " to say what they hold";
    }
    return dop + " does not describe the " + std::to_string(length) + "-byte records of " + dat +
           " (it needs a DATE line and columns inside the record)";
  }

  const std::unique_ptr<ReadFile> file = file_system().open_read(listing->resolve(dat));
  if (!file) return dat + " can't be opened";
  std::uint8_t header[4] = {};
  if (file->read(header, sizeof header) != sizeof header) {
    return dat + " is shorter than its header record";
  }
  const std::int64_t claimed = static_cast<std::int64_t>(read_u16le(header + 2)) - 1;
  const std::int64_t held =
      static_cast<std::int64_t>(file->size() / static_cast<std::uint64_t>(length)) - 1;
  if (claimed > 0 && held < claimed) {
    return dat + " is shorter than its header says (" + std::to_string(held < 0 ? 0 : held) +
           " of " + std::to_string(claimed) + " quotes)";
  }
  return {};
}

std::string not_regular_file_cause(std::string_view root, std::string_view key, int file_number) {
  const DirListing root_listing(normalize_dir(root));
  if (std::string cause = not_regular_cause(master_path(root_listing)); !cause.empty())
    return cause;
  MasterRecord record;
  std::string dir;
  std::optional<DirListing> listing;
  if (detail::find_symbol_listed(root, key, record, dir, listing, file_number) != kSuccess ||
      !listing)
    return {};
  return not_regular_entry_cause(*listing, record);
}

std::string not_regular_entry_cause(const DirListing& listing, const MasterRecord& record) {
  const int number = record.file_number();
  for (const std::string& name : {data_file_name(number, "DOP"), quote_file_name(number)}) {
    if (!listing.contains(name)) continue;
    if (std::string cause = not_regular_cause(listing.resolve(name)); !cause.empty()) return cause;
  }
  return {};
}

std::string read_failure_cause(std::string_view root, std::string_view key, int file_number) {
  std::string cause = not_regular_file_cause(root, key, file_number);
  return cause.empty() ? series_problem(root, key, file_number) : cause;
}

}  // namespace qdb
