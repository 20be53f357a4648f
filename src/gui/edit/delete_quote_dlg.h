// "Delete Data": shows the date of the quote to delete; OK asks once more before closing.
#pragma once

#include "gui/edit/quote_command_dlg.h"

class QLabel;

class CDeleteQuoteDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  static constexpr int kDateLength = 100;

  explicit CDeleteQuoteDlg(const QString& dateText, QWidget* parent = nullptr);

  QString dateText() const;
  // Whether the user answered Yes to the question that OK asks.
  bool confirmed() const { return m_confirmed; }

 private:
  // Asks "You are about to delete..."; Yes closes the dialog, No leaves it open.
  bool confirm();

  QLabel* m_date;
  bool m_confirmed = false;
};
