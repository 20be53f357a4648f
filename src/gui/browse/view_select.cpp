// The view brought to one symbol and day from elsewhere: a row of the Verify report.
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMainWindow>
#include <QSignalBlocker>
#include <QStatusBar>

#include "gui/analysis/verify_command.h"
#include "gui/analysis/verify_report_dlg.h"
#include "gui/base/path_text.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"
#include "qdb/master.h"
#include "qdb/series.h"

namespace {

// A directory as one form, so that "dir" and "dir/" name the same portfolio.
std::string dirKey(const QString& dir) { return qdb::normalize_dir(toPathString(dir)); }

}  // namespace

void CDorvaneView::OnVerify() { openVerifyReport(m_state->portfolioDir(), false); }

void CDorvaneView::OnVerifyTree() { openVerifyReport(m_state->drive(), true); }

void CDorvaneView::openVerifyReport(const QString& dir, bool tree) {
  CVerifyReportDlg* report = runVerify(window(), dir, tree);
  if (report == nullptr) {
    emit statusNote(QStringLiteral("Verify cancelled"));
    return;
  }
  connect(report, &CVerifyReportDlg::findingActivated, this, [this](const core::Finding& f) {
    const QString symbol = QString::fromLatin1(f.symbol.c_str());
    if (!SelectSymbolAndDate(fromPathString(f.portfolio), symbol, f.file_number, f.date, f.seconds))
      emit statusNote(symbol + QStringLiteral(" of ") + fromPathString(f.portfolio) +
                      QStringLiteral(" is not listed"));
  });
  report->show();
}

bool CDorvaneView::SelectSymbolAndDate(const QString& portfolioDir, const QString& symbol,
                                       int fileNumber, std::int32_t date, std::int32_t seconds) {
  flushPendingLoad();
  // The portfolio: picked in the list as a click would, unless it is the current one.
  const std::string wanted = dirKey(portfolioDir);
  if (dirKey(m_state->portfolioDir()) != wanted) {
    QListWidget* list = portfolioList();
    int found = -1;
    for (int i = 0; i < list->count() && found < 0; ++i)
      if (dirKey(list->item(i)->text()) == wanted) found = i;
    if (found < 0) return false;
    {
      const QSignalBlocker quiet(list);
      list->setCurrentRow(found);
    }
    onPortfolioPicked(list->item(found)->text());
  }
  // The symbol: its entry by file number, its text telling entries of one number apart.
  const CSymbolsGridModel* symbols = symbolsModel();
  int symbolRow = -1;
  for (int i = 0; i < symbols->rowCount(); ++i) {
    const core::SymbolRow& row = symbols->row(i);
    if (row.sub_portfolio || row.file_number != fileNumber) continue;
    if (symbolRow < 0 || QString::fromLatin1(row.symbol.c_str()) == symbol) symbolRow = i;
  }
  if (symbolRow < 0) return false;
  if (symbolRow != m_state->currentSymbolRow() || quoteCount() == 0) {
    const QModelIndex index = symbols->index(symbolRow, 0);
    // The selection announces the row as a click would; the load below stops its timer.
    symbolsGrid()->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    symbolsGrid()->scrollTo(index);
    m_state->setCurrentSymbolRow(symbolRow);
    setCaption(symbols->text(symbolRow, 0));
    FillQuotesGrid(0);
  }
  // The day: the newest quote of that date (and time).
  const CQuotesGridModel* quotes = quotesModel();
  for (int i = 0; i < quotes->rowCount(); ++i) {
    const qdb::QuoteBar& bar = quotes->bar(i);
    if (bar.date == date && (seconds < 0 || qdb::bar_seconds(bar) == seconds)) {
      m_quotes->selectRow(i);
      return true;
    }
  }
  return true;
}
