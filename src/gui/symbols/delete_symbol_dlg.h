// "Delete Symbol": asks whether the symbol shown may be deleted; "No" is the default answer.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class CDeleteSymbolDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CDeleteSymbolDlg(const QString& symbol, QWidget* parent = nullptr);

  QString symbol() const;
  QPushButton* yesButton() const { return m_yes; }
  QPushButton* noButton() const { return m_no; }

 protected:
  // Centres the dialog over its owner's window as it opens.
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* m_symbol;
  QPushButton* m_yes;
  QPushButton* m_no;
};
