// The Verify report: one row per finding, sortable by any column and filtered by kind, saved as
// text or CSV, with "Mend order and repeats" for what can be mended without choosing a value.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QDialog>

#include "core/verify.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class CVerifyReportDlg : public QDialog {
  Q_OBJECT
 public:
  // Runs the verify again (after a mend): the new findings, or nullopt when cancelled.
  using Rerun = std::function<std::optional<std::vector<core::Finding>>()>;

  // title names what was verified; tree shows the portfolio column.
  CVerifyReportDlg(QWidget* parent, const QString& title, bool tree,
                   std::vector<core::Finding> findings, Rerun rerun);

  // Shows findings instead of those held.
  void setFindings(std::vector<core::Finding> findings);
  const std::vector<core::Finding>& findings() const { return m_findings; }
  // Only the rows of kind's short name (empty: every kind).
  void setKindFilter(const QString& kind);
  QTableView* table() const { return m_table; }
  // The finding of a row as the table shows it (sorted and filtered); nullptr when none.
  const core::Finding* findingAt(int row) const;

 signals:
  // A row was double-clicked: the main window selects its symbol and day.
  void findingActivated(const core::Finding& finding);

 private:
  void fill();
  void saveAs();
  void mend();
  // The portfolios whose findings hold a kind the mend can change.
  std::vector<std::string> mendablePortfolios() const;

  bool m_tree;
  std::vector<core::Finding> m_findings;
  Rerun m_rerun;
  QLabel* m_summary;
  QComboBox* m_kinds;
  QTableView* m_table;
  QStandardItemModel* m_model;
  QSortFilterProxyModel* m_filter;
  QPushButton* m_mend;
};
