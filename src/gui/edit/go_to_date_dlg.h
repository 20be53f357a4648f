// Quotes > Go to Date: asks for the day to select in the quotes grid, as MM/DD/YY or
// MM/DD/YYYY, proposing the current row's date.
#pragma once

#include <QDialog>

class QLineEdit;

class CGoToDateDlg : public QDialog {
  Q_OBJECT
 public:
  // The field holds dateText, selected, so typing replaces it.
  explicit CGoToDateDlg(const QString& dateText, QWidget* parent = nullptr);

  QString dateText() const;
  QLineEdit* dateEdit() const { return m_date; }

 private:
  QLineEdit* m_date;
};
