// "Delete Data": shows the date of the quote to delete (and its time, for a series with
// times); OK asks once more before closing.
#pragma once

#include "gui/edit/quote_command_dlg.h"

class QLabel;

class CDeleteQuoteDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  static constexpr int kDateLength = 100;

  explicit CDeleteQuoteDlg(const QString& dateText, QWidget* parent = nullptr,
                           const QString& timeText = {});

  QString dateText() const { return m_dateText; }
  QString timeText() const { return m_timeText; }
  // Whether the user answered Yes to the question that OK asks.
  bool confirmed() const { return m_confirmed; }

 private:
  // Asks "You are about to delete..."; Yes closes the dialog, No leaves it open.
  bool confirm();

  QString m_dateText;
  QString m_timeText;
  QLabel* m_date;
  bool m_confirmed = false;
};
