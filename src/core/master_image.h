// A whole MASTER file in memory, and its crash-safe replacement, for the symbol commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/master.h"

namespace core {

struct MasterImage {
  qdb::MasterHeader header;
  std::vector<qdb::MasterRecord> records;  // every complete 53-byte record after the header
  std::string tail;                        // bytes after the last complete record, kept as they are
  std::optional<qdb::FileIdentity> identity;  // the file as read, which the write must replace
};

// Reads the MASTER at master_path whole. nullopt when it doesn't open, its header doesn't read
// or it is too large to be a MASTER.
std::optional<MasterImage> read_master_image(const std::string& master_path);

// Writes image as the new MASTER: the complete file goes to master_path + temp_suffix (".NEW",
// ".~NU", or a unique name beside it when that one is taken), is checked, flushed and renamed
// over master_path in one step, but only while master_path is still the file the image was read
// from. false, with master_path untouched and the cause noted (qdb/failure.h), on any failure.
bool write_master_image(const std::string& master_path, std::string_view temp_suffix,
                        const MasterImage& image);

// Raises or lowers both header counters by one (a counter never goes below 0).
void raise_counts(qdb::MasterHeader& header);
void lower_counts(qdb::MasterHeader& header);

}  // namespace core
