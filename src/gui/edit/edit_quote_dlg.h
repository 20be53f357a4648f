// "Edit Selected Quote": one day's open, high, low, close, volume and open interest, with
// First, Previous, Next and Last to step through the days. A step loads that day's grid texts
// and discards what was typed. On a series with times each row is one bar: its time stands
// beside the date, and the steps go bar by bar.
#pragma once

#include <array>

#include "core/edit_quote.h"
#include "gui/edit/quote_command_dlg.h"

class CNumberEdit;
class QLabel;
class QuoteRows;

class CEditQuoteDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  static constexpr int kFieldLength = 16;

  // Opens on row of rows (0 the newest quote).
  CEditQuoteDlg(const QuoteRows& rows, int row, QWidget* parent = nullptr);

  // The row shown.
  int row() const { return m_row; }
  QString dateText() const;
  // HH:MM:SS of the bar shown; empty for a series without times.
  QString timeText() const;
  // Field i: 0 open, 1 high, 2 low, 3 close, 4 volume, 5 open interest.
  CNumberEdit* field(int i) const { return m_fields[static_cast<std::size_t>(i)]; }
  // The entries: a field whose text is still the loaded one is kept as stored.
  core::EditQuoteEntry entry() const;

  QPushButton* previousButton() const { return m_previous; }
  QPushButton* nextButton() const { return m_next; }
  QPushButton* firstButton() const { return m_first; }
  QPushButton* lastButton() const { return m_last; }

 private:
  // Shows row's texts and enables the steps that lead somewhere.
  void load(int row);

  const QuoteRows& m_rows;
  int m_row = 0;
  QLabel* m_date;
  QLabel* m_time;  // null for a series without times
  std::array<CNumberEdit*, 6> m_fields{};
  std::array<QString, 6> m_loaded;
  QPushButton* m_previous;
  QPushButton* m_next;
  QPushButton* m_first;
  QPushButton* m_last;
};
