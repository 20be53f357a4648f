#include "gui/browse/browse_state.h"

#include "core/quote_texts.h"
#include "core/view_state.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/symbols/symbol_command_context.h"

QString CBrowseState::firstDateText() const {
  return QString::fromStdString(core::display_date_text(m_firstDate));
}

QString CBrowseState::lastDateText() const {
  return QString::fromStdString(core::display_date_text(m_lastDate));
}

void CBrowseState::setMasterPath(const QString& path) {
  if (path == m_masterPath) return;
  m_masterPath = path;
  m_portfolioDir = parentPath(path);
  emit changed();
}

void CBrowseState::setSymbol(const QString& symbol, const QString& name, int fileNumber) {
  if (symbol == m_currentSymbol && name == m_currentName && fileNumber == m_currentFileNumber)
    return;
  m_currentSymbol = symbol;
  m_currentName = name;
  m_currentFileNumber = fileNumber;
  emit changed();
}

void CBrowseState::setDates(qdb::DateSerial first, qdb::DateSerial last) {
  if (first == m_firstDate && last == m_lastDate) return;
  m_firstDate = first;
  m_lastDate = last;
  emit changed();
}

core::ViewState CBrowseState::viewState() const {
  core::ViewState view;
  view.portfolio_dir = toPathString(m_portfolioDir);
  view.symbol = masterBytes(m_currentSymbol);
  view.master_path = toPathString(m_masterPath);
  view.quote_count = m_quoteCount;
  view.first_date = m_firstDate;
  view.last_date = m_lastDate;
  view.file_number = m_currentFileNumber;
  return view;
}
