// "Import": delimited price text into a portfolio. A preview grid of the first file's first
// lines with the role of each column in a drop-down over it; the delimiter, decimal separator
// and date form (detected unless chosen); the symbol and name; the destination portfolio;
// "replace matching dates" and the sub-folders by letter; and, before OK, the summary of what
// the import will change, from core's plan of the whole input. OK is refused with the line and
// column of the first line that can't be read.
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/import.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;

class CImportDlg : public QDialog {
  Q_OBJECT
 public:
  // Lines the preview grid shows at most.
  static constexpr int kPreviewLines = 100;

  // files: the text files to import (the first one previewed); portfolios: the destinations
  // offered, selected the one picked first.
  CImportDlg(const QStringList& files, const QStringList& portfolios, const QString& selected,
             QWidget* parent = nullptr);

  // The choices shown, in core's form. The roles are given only once one was changed.
  core::ImportOptions options() const;
  QString destination() const;

  // Reads the input again with the choices shown: the preview, what was detected and the
  // summary (or the error). Runs by itself a moment after a choice changes, and at OK.
  void refresh();
  // The last refresh found the whole input readable and planned it.
  bool ready() const { return m_current && m_parse.ok && m_plan.ok; }
  const core::ImportParse& parse() const { return m_parse; }
  const core::ImportPlan& plan() const { return m_plan; }

  QTableWidget* previewGrid() const { return m_preview; }
  // The drop-down of a column's role (null past the columns shown).
  QComboBox* roleBox(int column) const;
  QComboBox* delimiterBox() const { return m_delimiter; }
  QComboBox* decimalBox() const { return m_decimal; }
  QComboBox* dateFormBox() const { return m_dateForm; }
  QComboBox* portfolioBox() const { return m_portfolio; }
  QLineEdit* symbolEdit() const { return m_symbol; }
  QLineEdit* nameEdit() const { return m_name; }
  QCheckBox* replaceBox() const { return m_replace; }
  QCheckBox* byLetterBox() const { return m_byLetter; }
  QString detectedText() const;
  QString summaryText() const;

 public slots:
  // Refreshes first when a choice changed since; refuses with the error while the input
  // can't be read or planned.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // A choice changed: the summary is stale until the refresh a moment later.
  void choiceChanged();
  // A role was picked from a drop-down: from now on the roles are the user's.
  void roleChanged();
  // The grid from the preview's cells, the drop-downs from the roles (detected, or kept).
  void fillPreview(const core::ImportPreview& preview,
                   const std::vector<core::ImportColumn>& roles);
  void showSummary();
  // Selects the preview's cell of error, when the preview shows its line.
  void markError(const core::ImportError& error);

  QStringList m_files;
  QLabel* m_filesLabel;
  QTableWidget* m_preview;
  QComboBox* m_delimiter;
  QComboBox* m_decimal;
  QComboBox* m_dateForm;
  QLineEdit* m_symbol;
  QLineEdit* m_name;
  QComboBox* m_portfolio;
  QCheckBox* m_replace;
  QCheckBox* m_byLetter;
  QLabel* m_detected;
  QPlainTextEdit* m_summary;
  QPushButton* m_ok;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_help = nullptr;
  QTimer* m_refreshTimer;
  std::string m_head;  // the first file's first lines, for the preview
  std::vector<QComboBox*> m_roles;
  std::vector<std::uint32_t> m_previewLines;  // the file's line number of each preview row
  bool m_rolesChosen = false;
  bool m_current = false;  // the summary follows the choices shown
  bool m_refreshing = false;
  bool m_cancelled = false;  // the last reading was cancelled
  core::ImportParse m_parse;
  core::ImportPlan m_plan;
};
