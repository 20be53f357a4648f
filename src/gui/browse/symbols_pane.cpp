#include "gui/browse/symbols_pane.h"

#include <algorithm>

#include "core/master_check.h"
#include "core/master_repair.h"
#include "core/symbol_rows.h"
#include "gui/browse/fix_master_observer.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/shell/path_text.h"
#include "gui/shell/prompter.h"
#include "qdb/master.h"

CSymbolsPane::CSymbolsPane(QWidget* parent)
    : CGridPane(QStringLiteral("Symbols"), new CSymbolsGridModel, QStringLiteral("SymbolGrid"),
                parent),
      m_model(static_cast<CSymbolsGridModel*>(grid()->model())) {
  connect(grid(), &CGridView::clicked, this, &CSymbolsPane::rowActivated);
  connect(grid(), &CGridView::enterPressed, this, &CSymbolsPane::rowActivated);
}

bool CSymbolsPane::validateMaster(const QString& masterPath, bool autoRepair) {
  const core::MasterCheckResult check = core::ValidateMaster(toPathString(masterPath));
  if (!check.readable) return false;
  if (check.sound) return true;
  return repairMaster(masterPath, autoRepair);
}

bool CSymbolsPane::repairMaster(const QString& masterPath, bool autoRepair) {
  CFixMasterObserver observer(window());
  const core::RepairResult result =
      core::RepairMaster(toPathString(masterPath), observer, autoRepair);
  return result.outcome == core::RepairOutcome::kRepaired;
}

int CSymbolsPane::list(const QString& masterPath, int row) {
  m_model->clear();
  core::MasterListing listing = core::read_master_rows(toPathString(masterPath), qdb::kMaxSymbols);
  if (!listing.ok) return -1;
  int count = listing.header_count;
  // The 255-row limit and its warning are the MASTER's; an XMASTER's entries are all listed.
  const auto extended = static_cast<std::ptrdiff_t>(listing.extended_count);
  std::vector<core::SymbolRow> extended_rows(listing.rows.end() - extended, listing.rows.end());
  listing.rows.erase(listing.rows.end() - extended, listing.rows.end());
  if (count > qdb::kMaxSymbols) {
    count = qdb::kMaxSymbols;
    Prompter::instance().message(
        this,
        QStringLiteral("File has %1 symbols.\nWill only display the first %2 symbols")
            .arg(listing.header_count)
            .arg(qdb::kMaxSymbols),
        Prompter::Icon::Warning);
  }
  // At most count records are listed; fewer records than the header claims is a failure.
  count = std::max(count, 0);
  if (static_cast<int>(listing.rows.size()) > count)
    listing.rows.resize(static_cast<std::size_t>(count));
  if (static_cast<int>(listing.rows.size()) != count) return -1;
  listing.rows.insert(listing.rows.end(), extended_rows.begin(), extended_rows.end());
  count += listing.extended_count;

  m_model->setRows(std::move(listing.rows));
  if (row >= 0 && row < m_model->rowCount()) {
    const QModelIndex index = m_model->index(row, 0);
    grid()->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid()->scrollTo(index);
  }
  return count;
}

void CSymbolsPane::clear() { m_model->clear(); }
