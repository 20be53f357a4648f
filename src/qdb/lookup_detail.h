// Library-internal steps of the read path that share one directory listing, so an operation
// lists each directory once: the lookup hands the found directory's listing on to the layout
// and to whoever opens the data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace qdb::detail {

// Reads up to count whole MASTER records starting at record number first (the header is 0)
// into buffer; returns how many were read.
std::size_t read_master_records(ReadFile& file, std::size_t first, std::size_t count,
                                std::vector<std::uint8_t>& buffer);
// The record at index of a buffer read_master_records filled.
MasterRecord master_record_at(const std::vector<std::uint8_t>& buffer, std::size_t index);
// Turns a record's two MBF date cells into native reals, as the lookup hands records out.
void dates_to_native(MasterRecord& record);

// find_symbol that also hands out the listing of the directory where the entry was found.
// root_listing, when given and of root's directory, is the listing the walk starts from, so a
// command that listed the directory already does not list it again.
StatusCode find_symbol_listed(std::string_view root, std::string_view key, MasterRecord& record_out,
                              std::string& dir_out, std::optional<DirListing>& listing_out,
                              int file_number = 0, const DirListing* root_listing = nullptr);

// read_layout for file_number's DOP (and, for the probe, DAT) file named through listing, with
// the MASTER record's field count.
StatusCode read_layout_listed(const DirListing& listing, int file_number, SeriesLayout& layout,
                              int record_length, int field_count);

}  // namespace qdb::detail
