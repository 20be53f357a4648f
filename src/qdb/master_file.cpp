// Where a portfolio's MASTER file is.
#include "qdb/master_file.h"

#include "qdb/master.h"
#include "qdb/text.h"

namespace qdb {

bool is_master_name(std::string_view name) { return equals_ignore_case(name, kMasterName); }

bool has_master(const DirListing& listing) { return listing.contains(kMasterName); }

std::string master_path(const DirListing& listing) { return listing.resolve(kMasterName); }

std::string master_path_in(std::string_view dir) {
  return master_path(DirListing(normalize_dir(dir)));
}

}  // namespace qdb
