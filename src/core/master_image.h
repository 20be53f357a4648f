// A whole MASTER file in memory, and its crash-safe replacement, for the symbol commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/master.h"

namespace core {

struct MasterImage {
  qdb::MasterHeader header;
  std::vector<qdb::MasterRecord> records;  // every complete 53-byte record after the header
  std::string tail;                        // bytes after the last complete record, kept as they are
};

// Reads the MASTER at master_path whole. nullopt when it doesn't open, its header doesn't read
// or it is too large to be a MASTER.
std::optional<MasterImage> read_master_image(const std::string& master_path);

// Writes image as the new MASTER: the complete file goes to master_path + temp_suffix (".NEW",
// ".~NU"; an existing entry of that name in any case is reused), is checked, flushed and renamed
// over master_path in one step. false, with master_path untouched, on any failure.
bool write_master_image(const std::string& master_path, std::string_view temp_suffix,
                        const MasterImage& image);

// Raises or lowers both header counters by one (a counter never goes below 0).
void raise_counts(qdb::MasterHeader& header);
void lower_counts(qdb::MasterHeader& header);

}  // namespace core
