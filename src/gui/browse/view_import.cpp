// The browser view's commands that bring portfolios and prices in: New Portfolio and Import
// (from the menu or files dropped on the window), and the listing of what they made.
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>

#include "gui/base/platform_ui.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolio_watcher.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/edit/grid_view.h"
#include "gui/import/import_command.h"
#include "gui/import/new_portfolio_command.h"

void CDorvaneView::OnNewPortfolio() {
  // The chooser starts beside the current portfolio, else in the current root.
  const QString dir = m_state->portfolioDir();
  const QString start = dir.isEmpty() ? m_state->drive() : parentPath(dir);
  const QString created = runNewPortfolioCommand(window(), start);
  if (created.isEmpty()) return;
  showPortfolioEntry(created, 0);
}

void CDorvaneView::OnImport() { runImport({}); }

void CDorvaneView::importFiles(const QStringList& files) { runImport(files); }

void CDorvaneView::runImport(const QStringList& files) {
  ImportCommandContext context;
  context.parent = window();
  context.files = files;
  for (int row = 0; row < m_portfolios->portfolioCount(); ++row)
    context.portfolios << m_portfolios->portfolioAt(row);
  context.selectedPortfolio = m_state->portfolioDir();
  const ImportCommandOutcome outcome = runImportCommand(context);
  m_watcher->record();  // the import's own writes are no change made elsewhere
  if (!outcome.reload) return;
  showPortfolioEntry(outcome.portfolioDir, outcome.fileNumber);
  if (!outcome.note.isEmpty()) emit statusNote(outcome.note);
}

void CDorvaneView::showPortfolioEntry(const QString& dir, int fileNumber) {
  // The portfolio is selected in the list; one the import made (a sub-portfolio by first
  // letter) joins the list as New Portfolio's do.
  if (!dir.isEmpty()) {
    const int listed = m_portfolios->addPortfolio(dir);
    m_state->setPortfoliosFound(true);
    SetMasterPath(joinPath(m_portfolios->portfolioAt(listed), QStringLiteral("MASTER")));
  }
  // As FillSymbolsGrid, but the row to make current is found after the listing.
  ClearFrom(3);
  const int count = ValidateMaster() ? m_symbols->list(m_state->masterPath(), -1) : -1;
  int row = 0;
  for (int i = 0; count > 0 && i < symbolsModel()->rows(); ++i)
    if (symbolsModel()->row(i).file_number == fileNumber) {
      row = i;
      break;
    }
  if (!symbolsListed(count, row)) return;
  m_symbols->selectRow(row);
  FillQuotesGrid(0);
}
