// The browser view's load chain: a portfolio picked sets the MASTER path, the MASTER is
// checked (and repaired when needed) and listed in the symbols grid, and the current symbol's
// quotes fill the quotes grid and the chart.
#include <algorithm>
#include <utility>

#include <QTimer>

#include "core/name_encoding.h"
#include "core/symbol_rows.h"
#include "gui/base/name_text.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/setting_keys.h"
#include "gui/base/settings_store.h"
#include "gui/base/wait_cursor.h"
#include "gui/browse/chart_splitter.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/quotes_pane.h"

namespace {

// Longest MASTER path accepted: the platform's path limit.
constexpr int kMaxMasterPath = 4095;
const QString kMasterName = QStringLiteral("MASTER");

}  // namespace

void CDorvaneView::onPortfolioPicked(const QString& directory) {
  if (!m_state->portfoliosFound()) return;
  rememberPortfolio(directory);
  SetMasterPath(joinPath(directory, kMasterName));
  FillSymbolsGrid(0);
}

bool CDorvaneView::SetMasterPath(const QString& path) {
  if (path.size() > kMaxMasterPath || !path.endsWith(kMasterName, Qt::CaseSensitive)) return false;
  m_state->setMasterPath(path);
  return true;
}

bool CDorvaneView::ValidateMaster() {
  if (m_portfolios->portfolioCount() == 0) return false;
  return m_symbols->validateMaster(m_state->masterPath(), m_search.autoRepair);
}

bool CDorvaneView::RepairMaster() {
  return m_symbols->repairMaster(m_state->masterPath(), m_search.autoRepair);
}

void CDorvaneView::failSymbolsFill() {
  ClearFrom(3);
  Prompter::instance().message(this, QStringLiteral("Failure while filling symbols grid"),
                               Prompter::Icon::Stop);
  m_state->setSymbolCount(0);
}

QString CDorvaneView::nameEncoding() const {
  const TextSetting& key = setting_keys::kNameEncoding;
  return m_settings.GetString(QString::fromLatin1(key.section),
                              setting_keys::nameEncodingKey(m_state->portfolioDir()),
                              QString::fromLatin1(key.fallback));
}

void CDorvaneView::setNameEncoding(const QString& choice) {
  if (m_state->portfolioDir().isEmpty()) return;
  m_settings.SetString(QString::fromLatin1(setting_keys::kNameEncoding.section),
                       setting_keys::nameEncodingKey(m_state->portfolioDir()), choice);
  if (!m_state->masterPath().isEmpty()) FillSymbolsGrid(std::max(0, m_state->currentSymbolRow()));
}

void CDorvaneView::FillSymbolsGrid(int row) {
  const CWaitCursor wait;
  ClearFrom(3);
  const std::optional<WantedSymbol> wanted = std::exchange(m_wantedSymbol, std::nullopt);
  const bool listable = ValidateMaster() && !m_state->masterPath().isEmpty();
  // The page the names are shown and written in: the portfolio's own choice, else the one its
  // names read best in (an unknown stored choice counts as auto).
  if (listable)
    setNamesCodePage(
        core::names_code_page(toPathString(m_state->masterPath()),
                              core::parse_encoding(nameEncoding().toStdString()).page));
  const int count = listable ? m_symbols->list(m_state->masterPath(), wanted ? -1 : row) : -1;
  if (wanted && count >= 0) {
    // The last symbol shown, where it is still listed; else the first row.
    const int found = symbolsModel()->rowOf(wanted->fileNumber, wanted->symbol);
    row = found >= 0 ? found : 0;
    m_symbols->selectRow(row);
  }
  if (symbolsListed(count, row)) FillQuotesGrid(0);
}

bool CDorvaneView::symbolsListed(int count, int row) {
  if (count < 0) {
    failSymbolsFill();
    return false;
  }
  m_state->setSymbolCount(count);
  watchIndexFiles();
  m_state->setCurrentSymbolRow(row);
  if (count == 0) setCaption(QStringLiteral("(no symbols)"));
  emit stateChanged();
  return true;
}

void CDorvaneView::setCaption(const QString& symbol) {
  window()->setWindowTitle(QStringLiteral("Dorvane - ") + m_state->portfolioDir() +
                           QStringLiteral(" - ") + symbol);
}

void CDorvaneView::onSymbolRowSelected(int row) {
  m_state->setCurrentSymbolRow(row);
  setCaption(symbolsModel()->text(row, 0));
  // The highlighted symbol is the one every command acts on, so its quotes follow it; a fill,
  // a click or Enter loads at once and stops this timer.
  m_symbolLoad->start();
}

void CDorvaneView::onQuoteRowSelected(int row) {
  m_state->setCurrentQuoteRow(row);
  chartView()->setCurrentRow(row);
}

void CDorvaneView::FillQuotesGrid(int row) {
  m_symbolLoad->stop();
  ClearFrom(4);
  watchDataFile();
  const CSymbolsGridModel* symbols = symbolsModel();
  const int symbolRow = m_state->currentSymbolRow();
  if (symbolRow < 0 || symbolRow >= symbols->rowCount()) return;
  const core::SymbolRow& entry = symbols->row(symbolRow);
  m_state->setSymbol(symbols->text(symbolRow, 0), symbols->text(symbolRow, 1), entry.file_number);
  rememberSymbol(entry.file_number, entry.symbol);
  const QString dir = m_state->portfolioDir();
  if (entry.sub_portfolio) {
    // A sub-portfolio's entry holds no quotes: the cause says where its symbols are.
    Prompter::instance().message(
        this, QStringLiteral("Error in FillQuotesGrid\n") +
                  fromPathString(core::sub_portfolio_cause(toPathString(dir), entry)));
    return;
  }
  const CWaitCursor wait;
  const QuoteLoadResult result = m_quotes->load(dir, entry.symbol, entry.file_number);
  using Status = QuoteLoadResult::Status;
  // The system's message first, then the cause in words when one is found.
  QString loadError = QStringLiteral("Error in FillQuotesGrid");
  if (!result.cause.empty()) loadError += QChar('\n') + QString::fromStdString(result.cause);
  if (result.status == Status::kOpenFailed || result.status == Status::kNoMemory) {
    emit stateChanged();
    Prompter::instance().message(
        this, result.status == Status::kNoMemory ? QStringLiteral("Too many bars") : loadError);
    return;
  }
  // The count shown is the rows actually read: a damaged header never counts unread rows.
  m_state->setQuoteCount(result.loaded);
  m_state->setDates(result.first_date, result.last_date);
  m_state->setCurrentQuoteRow(row);
  if (result.loaded != 0) m_quotes->selectRow(row);
  loadChart();
  emit stateChanged();
  if (result.status == Status::kChunkFailed || result.status == Status::kShortChunk)
    Prompter::instance().message(this, loadError);
}

void CDorvaneView::loadChart() {
  const CSymbolsGridModel* symbols = symbolsModel();
  const int row = m_state->currentSymbolRow();
  if (m_state->quoteCount() == 0 || row < 0 || row >= symbols->rowCount())
    m_quotesSplit->clearChart();
  else
    m_quotesSplit->loadChart(m_state->portfolioDir(), symbols->row(row).symbol,
                             symbols->row(row).file_number, m_state->currentQuoteRow());
}

void CDorvaneView::rememberSymbol(int fileNumber, const std::string& symbol) {
  // Written when it changes only: each write goes to the settings file at once.
  if (m_savedSymbol && m_savedSymbol->fileNumber == fileNumber && m_savedSymbol->symbol == symbol)
    return;
  m_settings.SetString(setting_keys::kLastSymbol, QString::fromLatin1(symbol));
  m_settings.SetInt(setting_keys::kLastFileNumber, fileNumber);
  m_savedSymbol = WantedSymbol{fileNumber, symbol};
}
