// Where the user is in the browser view: the root scanned and whether it held portfolios, the
// current MASTER, the symbol whose quotes are shown, the counts and current rows of both grids,
// and the dates of the oldest and newest quote shown. The view changes it; the frame's counters
// and command rules follow its changed signal, and the commands take it to core as a
// core::ViewState.
#pragma once

#include <QObject>
#include <QString>

#include "qdb/dates.h"

namespace core {
struct ViewState;
}

class CBrowseState : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  bool portfoliosFound() const { return m_portfoliosFound; }
  // The root scanned; empty before the first scan.
  QString drive() const { return m_drive; }
  // Empty until a MASTER path is accepted.
  QString masterPath() const { return m_masterPath; }
  // The directory of the current MASTER.
  QString portfolioDir() const { return m_portfolioDir; }
  QString currentSymbol() const { return m_currentSymbol; }
  QString currentName() const { return m_currentName; }
  // The file number of the entry whose quotes are shown: every command reads and rewrites that
  // entry, even when another entry of the portfolio shows the same symbol.
  int currentFileNumber() const { return m_currentFileNumber; }
  int symbolCount() const { return m_symbolCount; }
  int currentSymbolRow() const { return m_currentSymbolRow; }
  int quoteCount() const { return m_quoteCount; }
  int currentQuoteRow() const { return m_currentQuoteRow; }
  qdb::DateSerial firstDate() const { return m_firstDate; }
  qdb::DateSerial lastDate() const { return m_lastDate; }
  // The dates as the quotes grid shows them.
  QString firstDateText() const;
  QString lastDateText() const;

  void setPortfoliosFound(bool found) { assign(m_portfoliosFound, found); }
  void setDrive(const QString& root) { assign(m_drive, root); }
  // The MASTER path and the directory that holds it.
  void setMasterPath(const QString& path);
  // The symbol of the row whose quotes are (about to be) shown.
  void setSymbol(const QString& symbol, const QString& name, int fileNumber);
  void setSymbolCount(int count) { assign(m_symbolCount, count); }
  void setCurrentSymbolRow(int row) { assign(m_currentSymbolRow, row); }
  void setQuoteCount(int count) { assign(m_quoteCount, count); }
  void setCurrentQuoteRow(int row) { assign(m_currentQuoteRow, row); }
  void setDates(qdb::DateSerial first, qdb::DateSerial last);

  // The symbol whose quotes are shown, as core's commands take it.
  core::ViewState viewState() const;

 signals:
  void changed();

 private:
  template <typename T>
  void assign(T& field, const T& value) {
    if (field == value) return;
    field = value;
    emit changed();
  }

  bool m_portfoliosFound = false;
  QString m_drive;
  QString m_masterPath;
  QString m_portfolioDir;
  QString m_currentSymbol;
  QString m_currentName;
  int m_currentFileNumber = 0;
  int m_symbolCount = 0;
  int m_currentSymbolRow = 0;
  int m_quoteCount = 0;
  int m_currentQuoteRow = 1;
  qdb::DateSerial m_firstDate = 0;
  qdb::DateSerial m_lastDate = 0;
};
