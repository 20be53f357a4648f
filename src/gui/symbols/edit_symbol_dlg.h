// "Edit Symbol": a new symbol and issue name for the current row of the symbols grid.
#pragma once

#include <QDialog>

class QLineEdit;

class CEditSymbolDlg : public QDialog {
  Q_OBJECT
 public:
  // Each edit takes at most this many characters (the MASTER's 16-byte fields).
  static constexpr int kMaxLength = 16;

  CEditSymbolDlg(const QString& symbol, const QString& name, QWidget* parent = nullptr);

  QString symbol() const;
  QString name() const;
  QLineEdit* symbolEdit() const { return m_symbol; }
  QLineEdit* nameEdit() const { return m_name; }

  // OK: an empty symbol says "You must enter a symbol" and keeps the dialog open; the texts
  // are otherwise taken exactly as typed.
  void accept() override;

 private:
  QLineEdit* m_symbol;
  QLineEdit* m_name;
};
