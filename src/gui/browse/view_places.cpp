// The browser view's ways to a place: a day by its date (Go to Date), a portfolio by its
// directory (File > Recent Portfolios), and one day of one symbol named by another window.
#include <algorithm>

#include "core/entry_values.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/edit/go_to_date_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"
#include "qdb/portfolio_files.h"
#include "qdb/series.h"

void CDorvaneView::OnGoToDate() {
  const int row = m_state->currentQuoteRow();
  CGoToDateDlg dialog(quotesModel()->text(row, 0), window());
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return;
  const qdb::DateSerial date = core::view_date(dialog.dateText().toStdString());
  if (date == 0) {
    Prompter::instance().message(window(), QStringLiteral("Invalid Data Entered"),
                                 Prompter::Icon::Warning);
    return;
  }
  if (!goToDate(date))
    Prompter::instance().message(window(),
                                 QStringLiteral("No quote on or before ") + dialog.dateText(),
                                 Prompter::Icon::Information);
  quotesGrid()->setFocus();
}

bool CDorvaneView::goToDate(qdb::DateSerial date) {
  const int row = quotesModel()->rowOnOrBefore(date);
  if (row < 0) return false;
  m_quotes->selectRow(row);
  return true;
}

QStringList CDorvaneView::recentPortfolios() const {
  QStringList recent;
  const QString section = QString::fromLatin1(setting_keys::kRecent);
  for (int i = 0; i < setting_keys::kRecentCount; ++i) {
    const QString directory =
        m_settings.GetString(section, setting_keys::recentPortfolioName(i), QString());
    if (!directory.isEmpty() && !recent.contains(directory)) recent << directory;
  }
  return recent;
}

void CDorvaneView::rememberPortfolio(const QString& directory) {
  if (m_settings.GetString(setting_keys::kLastPortfolio) != directory)
    m_settings.SetString(setting_keys::kLastPortfolio, directory);
  QStringList recent = recentPortfolios();
  if (!recent.isEmpty() && recent.first() == directory) return;
  recent.removeAll(directory);
  recent.prepend(directory);
  // A path too long for the store is left out rather than cut.
  recent.removeIf([](const QString& path) { return !CSettingsStore::fitsValue(path); });
  const QString section = QString::fromLatin1(setting_keys::kRecent);
  for (int i = 0; i < setting_keys::kRecentCount; ++i)
    m_settings.SetString(section, setting_keys::recentPortfolioName(i),
                         i < recent.size() ? recent.at(i) : QString());
}

bool CDorvaneView::openPortfolio(const QString& directory) {
  if (directory == m_state->portfolioDir() && m_state->portfoliosFound()) return true;
  const qdb::DirListing listing(toPathString(directory) + '/');
  if (!listing.contains("MASTER")) {
    Prompter::instance().message(window(), QStringLiteral("No MASTER file found in\n") + directory,
                                 Prompter::Icon::Warning);
    return false;
  }
  // A portfolio outside the root scanned joins the list, so Move and Copy can reach it too.
  m_portfolios->addPortfolio(directory);
  m_state->setPortfoliosFound(true);
  onPortfolioPicked(directory);
  return m_state->portfolioDir() == directory;
}

int CDorvaneView::symbolRowOfFile(int fileNumber, const QString& symbol) const {
  const CSymbolsGridModel* model = symbolsModel();
  int found = -1;
  for (int i = 0; i < model->rows(); ++i) {
    const core::SymbolRow& row = model->row(i);
    if (row.sub_portfolio || row.file_number != fileNumber) continue;
    if (found < 0 || QString::fromLatin1(row.symbol.c_str()) == symbol) found = i;
  }
  return found;
}

bool CDorvaneView::showQuote(const QString& directory, int fileNumber, qdb::DateSerial date,
                             const QString& symbol, std::int32_t seconds) {
  // Findings name a directory with a separator at its end; the list names it without.
  QString listed = directory;
  while (listed.size() > 1 && listed.endsWith(QLatin1Char('/'))) listed.chop(1);
  if (!openPortfolio(listed)) return false;
  const int row = symbolRowOfFile(fileNumber, symbol);
  if (row < 0) return false;
  if (row != m_state->currentSymbolRow() || symbolLoadPending() ||
      m_state->currentFileNumber() != fileNumber) {
    m_symbols->selectRow(row);
    FillQuotesGrid(0);
  }
  if (seconds >= 0) {
    const CQuotesGridModel* quotes = quotesModel();
    for (int i = 0; i < quotes->rowCount(); ++i) {
      const qdb::QuoteBar& bar = quotes->bar(i);
      if (bar.date == date && qdb::bar_seconds(bar) == seconds) {
        m_quotes->selectRow(i);
        return true;
      }
    }
  }
  goToDate(date);
  return true;
}
