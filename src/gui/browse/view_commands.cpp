// The browser view's commands: each hands the view's state to its controller and carries out
// what the controller asks of the view afterwards.
#include <QListWidget>

#include "core/view_state.h"
#include "gui/analysis/data_facts_command.h"
#include "gui/analysis/export_command.h"
#include "gui/analysis/save_file_dialog.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
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

core::ViewState CDorvaneView::viewState() const {
  core::ViewState view;
  view.portfolio_dir = toPathString(m_portfolioDir);
  view.symbol = masterBytes(m_currentSymbol);
  view.master_path = toPathString(m_masterPath);
  view.quote_count = m_quoteCount;
  view.first_date_text = m_firstDateText.toStdString();
  view.last_date_text = m_lastDateText.toStdString();
  view.file_number = m_currentFileNumber;
  return view;
}

void CDorvaneView::runQuoteCommand(QuoteRunner runner) {
  QuoteCommandOutcome outcome;
  {
    const ModelQuoteRows rows(*quotesModel());
    outcome = runner({window(), viewState(), m_settings, rows, m_currentQuoteRow});
  }
  m_watcher->record();  // the command's own writes are no change made elsewhere
  if (outcome.reload) FillQuotesGrid(outcome.row);
  if (!outcome.editAfter) return;
  // The day just added opens in the editor.
  const ModelQuoteRows rows(*quotesModel());
  const QuoteCommandOutcome edited =
      runEditQuoteCommand({window(), viewState(), m_settings, rows, m_currentQuoteRow});
  if (edited.reload) FillQuotesGrid(edited.row);
}

void CDorvaneView::OnEditQuote() { runQuoteCommand(runEditQuoteCommand); }
void CDorvaneView::OnSplit() { runQuoteCommand(runSplitCommand); }
void CDorvaneView::OnAdjust() { runQuoteCommand(runAdjustCommand); }
void CDorvaneView::OnAddQuote() { runQuoteCommand(runAddQuoteCommand); }
void CDorvaneView::OnDeleteQuote() { runQuoteCommand(runDeleteQuoteCommand); }

void CDorvaneView::OnExport() {
  runExport(window(), m_settings, m_portfolioDir, m_currentSymbol, m_currentFileNumber);
}

SymbolCommandContext CDorvaneView::symbolContext() const {
  SymbolCommandContext c;
  c.parent = window();
  c.portfolioDir = m_portfolioDir;
  c.masterPath = m_masterPath;
  c.rowSymbol = symbolsModel()->text(m_currentSymbolRow, 0);
  c.rowName = symbolsModel()->text(m_currentSymbolRow, 1);
  if (m_currentSymbolRow >= 0 && m_currentSymbolRow < symbolsModel()->rows())
    c.rowFileNumber = symbolsModel()->row(m_currentSymbolRow).file_number;
  c.currentSymbol = m_currentSymbol;
  c.currentName = m_currentName;
  c.currentFileNumber = m_currentFileNumber;
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
      symbolsModel()->setRowTexts(m_currentSymbolRow, masterBytes(outcome.newSymbol),
                                  masterBytes(outcome.newName));
      m_currentSymbol = outcome.newSymbol;
      m_currentName = outcome.newName;
      setCaption(m_currentSymbol);
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
  const bool inside = m_currentSymbolRow >= 0 && m_currentSymbolRow < model->rows();
  runDataFacts(window(), m_portfolioDir, model->text(m_currentSymbolRow, 0),
               inside ? model->row(m_currentSymbolRow).file_number : 0);
}

void CDorvaneView::OnSplitSearch() {
  // The window reads the portfolio and its rows afresh at each press of "Search".
  m_splitSearch->open(window(), [this] {
    SplitSearchSource source;
    source.dir = toPathString(m_portfolioDir);
    const CSymbolsGridModel* model = symbolsModel();
    for (int i = 0; i < model->rows(); ++i) source.rows.push_back(model->row(i));
    return source;
  });
}

void CDorvaneView::OnNextSuspect() {
  const int row = chartView()->nextSuspectRow();
  if (row >= 0) m_quotes->selectRow(row);
}

void CDorvaneView::OnSaveChart() {
  const QString path = chooseSaveFile(window(), {m_currentSymbol.trimmed() + QStringLiteral(".png"),
                                                 QStringLiteral("png"), true, pngFileFilter()});
  if (path.isEmpty()) return;
  std::string error;
  if (!writeChartPng(chartView()->image(), toPathString(path), error))
    Prompter::instance().message(window(), QString::fromStdString(error), Prompter::Icon::Stop);
}
