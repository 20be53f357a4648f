// "Export": the file, delimiter, omitted columns, order, title row, date form and time column
// of a quotes export. For a whole portfolio ("Export All") the same choices, with a folder that
// receives one file per symbol, or one file for every symbol behind a SYMBOL column.
#pragma once

#include <QDialog>

#include "core/export.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CExportDlg : public QDialog {
  Q_OBJECT
 public:
  // The file path takes at most this many characters.
  static constexpr int kMaxPathLength = 200;

  // What the dialog exports: the current symbol, or every symbol of the portfolio.
  enum class Scope { Symbol, Portfolio };

  explicit CExportDlg(QWidget* parent = nullptr, Scope scope = Scope::Symbol);

  Scope scope() const { return m_scope; }

  // Sets every control from options. A delimiter other than 0, 1 or 2 selects no button.
  void setOptions(const core::ExportOptions& options);
  // The choices shown; the delimiter is -1 when no button is selected.
  core::ExportOptions options() const;

  QLineEdit* pathEdit() const { return m_path; }
  QPushButton* browseButton() const { return m_browse; }
  // Buttons 0 "Space", 1 "Comma", 2 "Tab" / 0 "Oldest quote first", 1 "Newest quote first".
  QButtonGroup* delimiterGroup() const { return m_delimiter; }
  QButtonGroup* orderGroup() const { return m_order; }
  // Buttons 0 "MM/DD/YY", 1 "MM/DD/YYYY", 2 "YYYY-MM-DD", 3 "YYYYMMDD" (core::ExportDateForm).
  QButtonGroup* dateFormGroup() const { return m_dateForm; }
  // "Add time column": HH:MM:SS after the date, for a series that holds times.
  QCheckBox* timeBox() const { return m_time; }
  // "Open", "High", "Low", "Close", "Volume", "Open Interest", "Add title row".
  QCheckBox* checkBox(const QString& text) const;

  // Export All's "One file with a SYMBOL column" (null for a symbol's export). Checked, the
  // path names that file; unchecked, the folder that receives a file per symbol.
  QCheckBox* singleBox() const { return m_single; }
  bool single() const;
  void setSingle(bool single);

  // "Browse...": for a folder, the folder dialog; otherwise the save-file dialog, proposing the
  // path shown (so it starts in the directory of the last export); the chosen path replaces it.
  void browse();

 private:
  void updatePathLabel();

  Scope m_scope;
  QLabel* m_pathLabel;
  QLineEdit* m_path;
  QPushButton* m_browse;
  QButtonGroup* m_delimiter;
  QButtonGroup* m_order;
  QButtonGroup* m_dateForm;
  QCheckBox* m_omitOpen;
  QCheckBox* m_omitHigh;
  QCheckBox* m_omitLow;
  QCheckBox* m_omitClose;
  QCheckBox* m_omitVolume;
  QCheckBox* m_omitOi;
  QCheckBox* m_title;
  QCheckBox* m_time;
  QCheckBox* m_single = nullptr;
};
