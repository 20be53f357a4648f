// Where a portfolio's MASTER file is. Its name matches without regard to case, as every name
// inside a portfolio does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace qdb {

// The name a new MASTER is given.
inline constexpr std::string_view kMasterName = "MASTER";

// Whether a directory entry's name is a MASTER's ("MASTER", "master", ...).
bool is_master_name(std::string_view name);
// Whether the listed directory holds a MASTER.
bool has_master(const DirListing& listing);
// The path of the MASTER in the listed directory: the existing entry whatever its case, else
// the directory followed by "MASTER".
std::string master_path(const DirListing& listing);
// The same for a directory text, which gets a separator appended unless it is empty or ends in
// one.
std::string master_path_in(std::string_view dir);

}  // namespace qdb
