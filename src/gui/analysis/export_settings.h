// The Export dialog's choices as the settings section "XportSel" keeps them between runs.
#pragma once

#include <QString>

#include "core/export.h"

class CSettingsStore;

// "Starter" (default "output.txt"), then "OmitOpen", "OmitHigh", "OmitLow", "OmitClose",
// "OmitVol", "OmitOI", "Newest", "Delim", "Title", then the date form "DateForm" (0 MM/DD/YY,
// 1 MM/DD/YYYY, 2 YYYY-MM-DD, 3 YYYYMMDD; another value reads as 0) and "Time" (default 0 each).
core::ExportOptions loadExportOptions(const CSettingsStore& settings);
// Writes "Starter", "OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI",
// "Delim", "Newest", "Title", "DateForm", "Time", in this order.
void saveExportOptions(CSettingsStore& settings, const core::ExportOptions& options);

// Where Export All wrote last: the folder (or, with single set, the one file), kept in the
// section "XportAll" as "Target" (default: the folder "export" in the user's home) and
// "Single" (0 or 1, default 0).
struct ExportAllTarget {
  QString path;
  bool single = false;
};
ExportAllTarget loadExportAllTarget(const CSettingsStore& settings);
void saveExportAllTarget(CSettingsStore& settings, const ExportAllTarget& target);
