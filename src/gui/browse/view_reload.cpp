// The browser view against time: the load that follows a keyboard move of the symbols
// highlight, and the portfolio's files changed by another program while the view shows them.
#include <QTimer>

#include <string>

#include "core/quote_texts.h"
#include "gui/base/name_text.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolio_watcher.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace {

// A quote's date, and its time for a series with times.
QString quoteWords(qdb::DateSerial date, std::int32_t seconds, bool hasTime) {
  QString words = QString::fromStdString(core::display_date_text(date));
  if (hasTime) words += QChar(' ') + QString::fromStdString(qdb::format_seconds_string(seconds));
  return words;
}

QString changedWords(const QStringList& names) {
  return names.join(QStringLiteral(", ")) + QStringLiteral(" changed on disk");
}

// The place the user is at, to find again after a reload.
struct Place {
  bool symbol = false;  // a symbol row was current
  int fileNumber = 0;
  bool extended = false;
  std::string symbolText;
  bool quote = false;  // a quote row was current
  std::int32_t date = 0;
  std::int32_t seconds = 0;
};

// The place of the current rows; quoteShown is false while the quotes shown belong to another
// symbol (a keyboard move's load is waiting).
Place placeOf(const CSymbolsGridModel& symbols, int symbolRow, const CQuotesGridModel& quotes,
              int quoteRow, bool quoteShown) {
  Place place;
  if (symbolRow >= 0 && symbolRow < symbols.rowCount()) {
    const core::SymbolRow& row = symbols.row(symbolRow);
    place.symbol = true;
    place.fileNumber = row.file_number;
    place.extended = row.extended;
    place.symbolText = row.symbol;
  }
  if (quoteShown && quoteRow >= 0 && quoteRow < quotes.rowCount()) {
    const qdb::QuoteBar& bar = quotes.bar(quoteRow);
    place.quote = true;
    place.date = bar.date;
    place.seconds = qdb::bar_seconds(bar);
  }
  return place;
}

// The symbols grid's row of place's symbol, or -1.
int symbolRowOf(const CSymbolsGridModel& symbols, const Place& place) {
  if (!place.symbol) return -1;
  // The file number names the entry; the symbol text tells a reused number from the same entry.
  for (int i = 0; i < symbols.rowCount(); ++i) {
    const core::SymbolRow& row = symbols.row(i);
    if (row.file_number == place.fileNumber && row.extended == place.extended &&
        row.symbol == place.symbolText)
      return i;
  }
  return -1;
}

// The quotes grid's row of place's quote, or -1.
int quoteRowOf(const CQuotesGridModel& quotes, const Place& place) {
  if (!place.quote) return -1;
  for (int i = 0; i < quotes.rowCount(); ++i) {
    const qdb::QuoteBar& bar = quotes.bar(i);
    if (bar.date == place.date && qdb::bar_seconds(bar) == place.seconds) return i;
  }
  return -1;
}

}  // namespace

bool CDorvaneView::symbolLoadPending() const { return m_symbolLoad->isActive(); }

void CDorvaneView::flushPendingLoad() {
  if (m_symbolLoad->isActive()) FillQuotesGrid(0);
}

void CDorvaneView::watchIndexFiles() {
  m_watcher->clear();
  if (m_state->masterPath().isEmpty()) return;
  const std::string master = qdb::resolve_path(toPathString(m_state->masterPath()));
  const std::string dir = qdb::split_path(master).first;
  const qdb::DirListing listing(dir);
  m_watcher->watchIndex(dir, {master, listing.resolve("EMASTER"), listing.resolve("XMASTER")});
}

void CDorvaneView::watchDataFile() {
  const CSymbolsGridModel* symbols = symbolsModel();
  const int row = m_state->currentSymbolRow();
  std::string path;
  if (!m_state->masterPath().isEmpty() && row >= 0 && row < symbols->rowCount()) {
    const int number = symbols->row(row).file_number;
    if (number > 0 && !symbols->row(row).sub_portfolio)
      path = qdb::DirListing(qdb::normalize_dir(toPathString(m_state->portfolioDir())))
                 .resolve(qdb::quote_file_name(number));
  }
  m_watcher->watchData(path);
}

void CDorvaneView::reloadChangedFiles() {
  const QStringList changed = m_watcher->changedNames();
  if (changed.isEmpty()) return;
  const Place place = placeOf(*symbolsModel(), m_state->currentSymbolRow(), *quotesModel(),
                              m_state->currentQuoteRow(), !symbolLoadPending());
  const bool hadTime = quotesModel()->hasTime();

  // As FillSymbolsGrid, but the row to make current is found after the listing.
  ClearFrom(3);
  const int count = ValidateMaster() ? m_symbols->list(m_state->masterPath(), -1) : -1;
  const int symbolRow = count < 0 ? -1 : symbolRowOf(*symbolsModel(), place);
  const int row = symbolRow >= 0 ? symbolRow : 0;
  if (!symbolsListed(count, row)) return;
  m_symbols->selectRow(row);
  FillQuotesGrid(0);
  const int quoteRow = symbolRow >= 0 ? quoteRowOf(*quotesModel(), place) : -1;
  if (quoteRow >= 0) m_quotes->selectRow(quoteRow);

  QString note = changedWords(changed) + QStringLiteral("; the symbols and quotes were read again");
  if (place.symbol && symbolRow < 0)
    note += QStringLiteral(" (") + masterText(place.symbolText) +
            QStringLiteral(" is no longer listed)");
  else if (place.quote && quoteRow < 0)
    note += QStringLiteral(" (the quote of ") + quoteWords(place.date, place.seconds, hadTime) +
            QStringLiteral(" is no longer there)");
  emit statusNote(note);
}

bool CDorvaneView::prepareCommand(bool quoteRow) {
  m_watcher->setPaused(true);
  if (!m_watcher->changed()) {
    flushPendingLoad();
    return true;
  }

  // Another program changed the files since they were read: the command acts on them as they
  // are now, or not at all when its row has gone.
  const QStringList changed = m_watcher->changedNames();
  const Place place = placeOf(*symbolsModel(), m_state->currentSymbolRow(), *quotesModel(),
                              m_state->currentQuoteRow(), !symbolLoadPending());
  const bool hadTime = quotesModel()->hasTime();
  reloadChangedFiles();
  QString lost;
  if (place.symbol && symbolRowOf(*symbolsModel(), place) < 0)
    lost = QStringLiteral("The symbol ") + masterText(place.symbolText) +
           QStringLiteral(" is no longer listed.");
  else if (quoteRow && place.quote && quoteRowOf(*quotesModel(), place) < 0)
    lost = QStringLiteral("The quote of ") + quoteWords(place.date, place.seconds, hadTime) +
           QStringLiteral(" is no longer in the file.");
  if (lost.isEmpty()) return true;
  Prompter::instance().message(window(),
                               changedWords(changed) +
                                   QStringLiteral(", so the command was not carried out. ") + lost +
                                   QStringLiteral("\nThe symbols and quotes have been read again."),
                               Prompter::Icon::Warning);
  commandDone();
  return false;
}

void CDorvaneView::commandDone() {
  m_watcher->record();
  m_watcher->setPaused(false);
}
