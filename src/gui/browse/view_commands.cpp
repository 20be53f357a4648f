// The browser view's commands: each hands the view's state to its controller and carries out
// what the controller asks of the view afterwards.
#include <QListWidget>
#include <QMainWindow>
#include <QStatusBar>

#include "core/symbol_listing.h"
#include "core/symbol_rows.h"
#include "core/view_state.h"
#include "gui/analysis/data_facts_command.h"
#include "gui/analysis/export_all_command.h"
#include "gui/analysis/export_command.h"
#include "gui/analysis/save_file_dialog.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/browse/browse_state.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolio_watcher.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/chart/chart_image.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/add_quote_command.h"
#include "gui/edit/adjust_command.h"
#include "gui/edit/delete_quote_command.h"
#include "gui/edit/edit_quote_command.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"
#include "gui/edit/split_command.h"
#include "gui/symbols/delete_symbol_command.h"
#include "gui/symbols/edit_symbol_command.h"
#include "gui/symbols/transfer_symbol_command.h"

void CDorvaneView::runQuoteCommand(QuoteRunner runner) {
  QuoteCommandOutcome outcome;
  {
    const ModelQuoteRows rows(*quotesModel());
    outcome =
        runner({window(), m_state->viewState(), m_settings, rows, m_state->currentQuoteRow()});
  }
  m_watcher->record();  // the command's own writes are no change made elsewhere
  if (outcome.reload) {
    FillQuotesGrid(outcome.row);
    // The oldest day deleted: the row below it is gone, the new oldest is the place.
    if (outcome.row >= quoteCount() && quoteCount() > 0) m_quotes->selectRow(quoteCount() - 1);
  }
  if (!outcome.editAfter) return;
  // The day just added opens in the editor.
  const ModelQuoteRows rows(*quotesModel());
  const QuoteCommandOutcome edited = runEditQuoteCommand(
      {window(), m_state->viewState(), m_settings, rows, m_state->currentQuoteRow()});
  if (edited.reload) FillQuotesGrid(edited.row);
}

void CDorvaneView::OnEditQuote() { runQuoteCommand(runEditQuoteCommand); }
void CDorvaneView::OnSplit() { runQuoteCommand(runSplitCommand); }
void CDorvaneView::OnAdjust() { runQuoteCommand(runAdjustCommand); }
void CDorvaneView::OnAddQuote() { runQuoteCommand(runAddQuoteCommand); }
void CDorvaneView::OnDeleteQuote() { runQuoteCommand(runDeleteQuoteCommand); }

void CDorvaneView::OnExport() {
  QString note;
  const bool hasTimes = ModelQuoteRows(*quotesModel()).hasTime();
  if (runExport(window(), m_settings, m_state->portfolioDir(), m_state->currentSymbol(),
                m_state->currentFileNumber(), hasTimes, &note))
    emit statusNote(note);
}

SymbolCommandContext CDorvaneView::symbolContext() const {
  SymbolCommandContext c;
  c.parent = window();
  c.portfolioDir = m_state->portfolioDir();
  c.masterPath = m_state->masterPath();
  const int row = m_state->currentSymbolRow();
  c.rowSymbol = symbolsModel()->text(row, 0);
  c.rowName = symbolsModel()->text(row, 1);
  if (row >= 0 && row < symbolsModel()->rows())
    c.rowFileNumber = symbolsModel()->row(row).file_number;
  c.currentSymbol = m_state->currentSymbol();
  c.currentName = m_state->currentName();
  c.currentFileNumber = m_state->currentFileNumber();
  const QListWidget* list = portfolioList();
  for (int i = 0; i < list->count(); ++i) c.portfolios << list->item(i)->text();
  if (const QListWidgetItem* selected = list->currentItem()) c.selectedPortfolio = selected->text();
  return c;
}

void CDorvaneView::applySymbolOutcome(const SymbolCommandOutcome& outcome) {
  m_watcher->record();  // the command's own writes are no change made elsewhere
  switch (outcome.followUp) {
    case ViewFollowUp::None:
      return;
    case ViewFollowUp::UpdateSymbolRow:
      symbolsModel()->setRowTexts(m_state->currentSymbolRow(), masterBytes(outcome.newSymbol),
                                  masterBytes(outcome.newName));
      m_state->setSymbol(outcome.newSymbol, outcome.newName, m_state->currentFileNumber());
      setCaption(outcome.newSymbol);
      emit stateChanged();
      return;
    case ViewFollowUp::ReloadSymbols:
      FillSymbolsGrid(0);
      return;
  }
}

void CDorvaneView::OnEditSymbol() { applySymbolOutcome(runEditSymbol(symbolContext())); }
void CDorvaneView::OnDeleteSymbol() { applySymbolOutcome(runDeleteSymbol(symbolContext())); }
void CDorvaneView::OnMoveSymbol() {
  applySymbolOutcome(runTransferSymbol(symbolContext(), core::TransferMode::Move));
}
void CDorvaneView::OnCopySymbol() {
  applySymbolOutcome(runTransferSymbol(symbolContext(), core::TransferMode::Copy));
}

void CDorvaneView::OnDataFacts() {
  const CSymbolsGridModel* model = symbolsModel();
  const int row = m_state->currentSymbolRow();
  const bool inside = row >= 0 && row < model->rows();
  runDataFacts(window(), m_state->portfolioDir(), model->text(row, 0),
               inside ? model->row(row).file_number : 0);
}

void CDorvaneView::OnSplitSearch() {
  // The window searches the portfolio shown as it opens, even after the view moved on to
  // another. It reads that portfolio's rows afresh at each press of "Search": the grid's, in
  // its order, while the view still shows it, else the listing of its MASTER.
  const QString directory = m_state->portfolioDir();
  const QString masterPath = m_state->masterPath();
  m_splitSearch->open(
      window(),
      [this, directory, masterPath] {
        SplitSearchSource source;
        source.dir = toPathString(directory);
        if (m_state->portfolioDir() == directory) {
          const CSymbolsGridModel* model = symbolsModel();
          for (int i = 0; i < model->rows(); ++i) source.rows.push_back(model->row(i));
        } else {
          source.rows = core::sorted_rows(
              core::read_symbol_listing(toPathString(masterPath), [](const std::string&) {}).rows);
        }
        return source;
      },
      directory);
}

void CDorvaneView::OnExportAll() {
  const QString done = runExportAll(window(), m_settings, m_state->portfolioDir());
  auto* frame = qobject_cast<QMainWindow*>(window());
  if (!done.isEmpty() && frame) frame->statusBar()->showMessage(done, 15000);
}

void CDorvaneView::onChartActivated(int row) {
  // The chart still shows the symbol before a keyboard move: its row means nothing in the
  // symbol about to load.
  if (symbolLoadPending()) {
    flushPendingLoad();
    return;
  }
  // The same path as Quotes > Edit, on the day double-clicked: files another program changed
  // are read again first (the day kept, or the command refused when it has gone), and their
  // news waits while the dialog is open, so the dialog's rows stay the ones it shows.
  m_quotes->selectRow(row);
  if (!prepareCommand(true)) return;
  OnEditQuote();
  commandDone();
}

void CDorvaneView::OnNextSuspect() {
  const int row = chartView()->nextSuspectRow();
  if (row >= 0) m_quotes->selectRow(row);
}

void CDorvaneView::OnSaveChart() {
  const QString path =
      chooseSaveFile(window(), {m_state->currentSymbol().trimmed() + QStringLiteral(".png"),
                                QStringLiteral("png"), true, pngFileFilter()});
  if (path.isEmpty()) return;
  std::string error;
  if (!writeChartPng(chartView()->image(), toPathString(path), error))
    Prompter::instance().message(window(), QString::fromStdString(error), Prompter::Icon::Stop);
}
