// Every value the app keeps in the settings store, named once: its section, its name and the
// default a read gives when the value is absent (a reader whose default depends on the moment,
// as the filter path's, passes its own). The quote commands' last entries ("Edit", "Split",
// "Adjust", "Delete", "Add") are named by core, which hands them over with its results.
#pragma once

#include <QString>

struct IntSetting {
  const char* section;
  const char* name;
  int fallback;
};

struct TextSetting {
  const char* section;
  const char* name;
  const char* fallback;
};

namespace setting_keys {

// The main window's placement in pixels.
inline constexpr IntSetting kScreenX{"Screen", "x", 0};
inline constexpr IntSetting kScreenY{"Screen", "y", 0};
inline constexpr IntSetting kScreenWidth{"Screen", "cx", 0};
inline constexpr IntSetting kScreenHeight{"Screen", "cy", 0};

// The grids' column widths in pixels: "col0", "col1", ... in these sections, each defaulting
// to a share of the grid's client width (see gui/edit/grid_columns.h).
inline constexpr const char* kSymbolGrid = "SymbolGrid";
inline constexpr const char* kQuoteGrid = "QuoteGrid";
inline QString columnWidthName(int column) { return QStringLiteral("col%1").arg(column); }

// The portfolio search filter: the limit to the filter path (0 or 1), the path itself (its
// default is the current directory when the view is made) and the repair without asking.
inline constexpr IntSetting kSearchLimit{"Search", "Limit", 1};
inline constexpr TextSetting kSearchName{"Search", "Name", ""};
inline constexpr IntSetting kSearchMasterFix{"Search", "MasterFix", 0};

// The root last scanned, as the host writes it (a drive letter on Windows).
inline constexpr TextSetting kDrive{"Settings", "Drive", ""};

// View > Chart (0 or 1), and the chart's share of the height it splits with the quotes, in
// thousandths.
inline constexpr IntSetting kChartShow{"Chart", "Show", 0};
inline constexpr IntSetting kChartShare{"Chart", "Share", 520};

// The main window's splitters as QSplitter::saveState gives them, in base 64: the portfolios
// and symbols over the quotes, and the portfolios beside the symbols.
inline constexpr TextSetting kPanesMain{"Panes", "Main", ""};
inline constexpr TextSetting kPanesTop{"Panes", "Top", ""};

// The symbols grid's order: the column sorted by (0 symbol, 1 name) and whether descending.
inline constexpr IntSetting kSymbolSortColumn{"SymbolGrid", "SortColumn", 0};
inline constexpr IntSetting kSymbolSortDescending{"SymbolGrid", "SortDescending", 0};

// The portfolio directory and the symbol (its text and file number) last shown, brought back
// at start-up and after a rescan when they still exist.
inline constexpr TextSetting kLastPortfolio{"Settings", "Portfolio", ""};
inline constexpr TextSetting kLastSymbol{"Settings", "Symbol", ""};
inline constexpr IntSetting kLastFileNumber{"Settings", "FileNumber", 0};

// File > Recent Portfolios: the directories last opened, newest first, as "Portfolio1" to
// "Portfolio8" of this section.
inline constexpr const char* kRecent = "Recent";
inline constexpr int kRecentCount = 8;
inline QString recentPortfolioName(int index) {
  return QStringLiteral("Portfolio%1").arg(index + 1);
}

// The Export dialog's choices (see gui/analysis/export_settings.h).
inline constexpr TextSetting kExportStarter{"XportSel", "Starter", "output.txt"};
inline constexpr IntSetting kExportOmitOpen{"XportSel", "OmitOpen", 0};
inline constexpr IntSetting kExportOmitHigh{"XportSel", "OmitHigh", 0};
inline constexpr IntSetting kExportOmitLow{"XportSel", "OmitLow", 0};
inline constexpr IntSetting kExportOmitClose{"XportSel", "OmitClose", 0};
inline constexpr IntSetting kExportOmitVol{"XportSel", "OmitVol", 0};
inline constexpr IntSetting kExportOmitOI{"XportSel", "OmitOI", 0};
inline constexpr IntSetting kExportDelim{"XportSel", "Delim", 0};
inline constexpr IntSetting kExportNewest{"XportSel", "Newest", 0};
inline constexpr IntSetting kExportTitle{"XportSel", "Title", 0};
inline constexpr IntSetting kExportDateForm{"XportSel", "DateForm", 0};
inline constexpr IntSetting kExportTime{"XportSel", "Time", 0};

// Export All's folder, or its one file with kExportAllSingle 1 (see
// gui/analysis/export_settings.h). The folder's default is "export" in the user's home.
inline constexpr TextSetting kExportAllTarget{"XportAll", "Target", ""};
inline constexpr IntSetting kExportAllSingle{"XportAll", "Single", 0};

// View > Name Encoding of each portfolio: "auto" or a code page's name ("cp1251"), in this
// section under nameEncodingKey of the portfolio's directory (its UTF-8 bytes in hex, so that
// no character of a path means anything to the settings file).
inline constexpr TextSetting kNameEncoding{"NameEncoding", "", "auto"};
inline QString nameEncodingKey(const QString& portfolioDir) {
  return QString::fromLatin1(portfolioDir.toUtf8().toHex());
}

}  // namespace setting_keys
