#include "gui/browse/symbols_pane.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QStringList>

#include "core/portfolio_repair.h"
#include "core/symbol_listing.h"
#include "core/symbol_rows.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/base/setting_keys.h"
#include "gui/browse/fix_master_observer.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"

CSymbolsPane::CSymbolsPane(QWidget* parent)
    : CGridPane(QStringLiteral("Symbols"), new CSymbolsGridModel,
                QString::fromLatin1(setting_keys::kSymbolGrid), parent),
      m_model(static_cast<CSymbolsGridModel*>(grid()->model())) {
  connect(grid(), &CGridView::clicked, this, &CSymbolsPane::rowActivated);
  connect(grid(), &CGridView::enterPressed, this, &CSymbolsPane::rowActivated);
  grid()->setSortable(true);
  grid()->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  connect(grid(), &CGridView::sortRequested, this, [this](int column, bool descending) {
    m_model->sortRows(column, descending);
    const QModelIndex current = grid()->currentIndex();
    if (current.isValid()) grid()->scrollTo(current);
    emit sorted(m_model->sortColumn(), m_model->sortDescending());
  });
}

void CSymbolsPane::setSortOrder(int column, bool descending) {
  m_model->sortRows(column, descending);
  const QSignalBlocker blocker(grid()->horizontalHeader());
  grid()->horizontalHeader()->setSortIndicator(
      m_model->sortColumn(), m_model->sortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CSymbolsPane::selectRow(int row) {
  if (row < 0 || row >= m_model->rowCount()) return;
  const QModelIndex index = m_model->index(row, 0);
  grid()->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid()->scrollTo(index);
}

bool CSymbolsPane::validateMaster(const QString& masterPath, bool autoRepair) {
  // The checks `dorvane-cli check` runs, but for the dates against the data files, which would
  // read every data file at each load.
  const core::PortfolioCheck check = core::check_portfolio(toPathString(masterPath), false);
  if (!check.readable()) return false;
  if (check.sound()) return true;
  // A sound MASTER lists whatever becomes of the offer to mend its EMASTER or XMASTER; once
  // declined, the offer is not made again for the same MASTER in this run.
  const bool listable = check.master.sound;
  if (listable && m_indexRepairDeclined == masterPath) return true;
  const bool repaired = repairMaster(masterPath, autoRepair);
  if (!repaired && listable) m_indexRepairDeclined = masterPath;
  return repaired || listable;
}

bool CSymbolsPane::repairMaster(const QString& masterPath, bool autoRepair) {
  CFixMasterObserver observer(window());
  const core::PortfolioRepairResult result =
      core::repair_portfolio(toPathString(masterPath), observer, autoRepair);
  using Outcome = core::PortfolioRepairOutcome;
  if (result.outcome == Outcome::kSound) return true;
  if (result.outcome == Outcome::kDeclined) return false;
  if (result.outcome == Outcome::kFailed) {
    Prompter::instance().message(window(),
                                 QStringLiteral("The portfolio's index files could not be "
                                                "repaired:\n") +
                                     fromPathString(result.failure),
                                 Prompter::Icon::Stop);
    return false;
  }
  // The user learns where the files as they were are kept, to undo the repair by hand if need
  // be.
  QStringList parts;
  if (result.master_rebuilt) {
    QString where = QStringLiteral("The MASTER file was repaired. A copy of it as it was is in\n") +
                    fromPathString(result.master.repair_backup_path);
    if (result.master.backup_made)
      where += QStringLiteral("\nand in\n") + fromPathString(result.master.backup_path);
    parts << where;
  } else if (result.dates_checked && result.dates.corrected > 0) {
    parts << QStringLiteral(
                 "The MASTER file's dates were corrected. A copy of it as it was is "
                 "in\n") +
                 fromPathString(result.dates.backup_path) +
                 (result.dates.first_backup_path.empty()
                      ? QString()
                      : QStringLiteral("\nand in\n") +
                            fromPathString(result.dates.first_backup_path));
  }
  if (result.index_repaired) {
    QString where = QStringLiteral(
        "The EMASTER and XMASTER were made to agree with the MASTER. "
        "Copies of them as they were are in");
    for (const std::string& backup : result.index.backups)
      where += QStringLiteral("\n") + fromPathString(backup);
    parts << where;
  }
  Prompter::instance().message(window(), parts.join(QStringLiteral("\n\n")),
                               Prompter::Icon::Information);
  return true;
}

int CSymbolsPane::list(const QString& masterPath, int row) {
  m_model->clear();
  // The listing's rules (the 255-row limit, its warning, fewer records than the header claims)
  // are core's; the pane shows the warning and the rows.
  core::SymbolListing listing =
      core::read_symbol_listing(toPathString(masterPath), [this](const std::string& warning) {
        Prompter::instance().message(this, QString::fromStdString(warning),
                                     Prompter::Icon::Warning);
      });
  if (!listing.outcome.ok()) return -1;
  const int count = listing.outcome.master_rows + listing.outcome.extended_rows;

  m_model->setRows(std::move(listing.rows));
  selectRow(row);
  return count;
}

void CSymbolsPane::clear() { m_model->clear(); }
