// "Add Data": shows the date of the quote about to be added (the user can't change it).
#pragma once

#include "gui/edit/quote_command_dlg.h"

class QLabel;

class CAddQuoteDlg : public CQuoteCommandDlg {
  Q_OBJECT
 public:
  explicit CAddQuoteDlg(const QString& newDateText, QWidget* parent = nullptr);

  QString newDateText() const;
  QString explanation() const;

 private:
  QLabel* m_date;
  QLabel* m_explanation;
};
