// A whole MASTER file in memory, for the symbol commands and the date repair.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qdb/error.h"
#include "qdb/file_system.h"
#include "qdb/master.h"

namespace core {

struct MasterImage {
  qdb::MasterHeader header;
  std::vector<qdb::MasterRecord> records;  // every complete 53-byte record after the header
  std::string tail;                        // bytes after the last complete record, kept as they are
  std::optional<qdb::FileIdentity> identity;  // the file as read, which the write must replace
};

// Reads the MASTER at master_path whole. The Error when it doesn't open (kFileOpen), its header
// doesn't read or it is too large to be a MASTER (kFileRead; no cause for a size that is
// none of a MASTER's).
qdb::Result<MasterImage> read_master_image(const std::string& master_path);

// The whole file's bytes: the header, every record, the tail.
std::string master_image_bytes(const MasterImage& image);
// Writes image whole to out (the header, each record, the tail), one write a record, as a
// writer of qdb::PortfolioTransaction::stage; false when a write failed.
bool write_master_image(qdb::WriteFile& out, const MasterImage& image);

// Raises or lowers both header counters by one (a counter never goes below 0).
void raise_counts(qdb::MasterHeader& header);
void lower_counts(qdb::MasterHeader& header);

}  // namespace core
