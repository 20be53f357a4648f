// The base of the quote commands' dialogs: an OK button (the default) and a Cancel button,
// and an OK that first asks a check, which may keep the dialog open (a message shown, the
// user's entries kept).
#pragma once

#include <functional>
#include <initializer_list>

#include <QDialog>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

class CQuoteCommandDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CQuoteCommandDlg(QWidget* parent = nullptr);

  // Called when the user presses OK; the dialog closes only when it answers true.
  void setOkCheck(std::function<bool()> check) { m_okCheck = std::move(check); }

  QPushButton* okButton() const { return m_ok; }
  QPushButton* cancelButton() const { return m_cancel; }

  void accept() override;

 protected:
  // Wide enough for the whole title, whatever the fields need.
  void showEvent(QShowEvent* event) override;
  // A row with OK and Cancel at its right end.
  QHBoxLayout* makeButtonRow();
  // The width of n average characters of the dialog's font.
  int charWidths(int n) const;
  // Fields of a share count or a factor: at most maxLength characters, "1" shown, widthChars
  // average characters wide.
  void setUpFactorFields(std::initializer_list<QLineEdit*> fields, int maxLength, int widthChars);

 private:
  QPushButton* m_ok;
  QPushButton* m_cancel;
  std::function<bool()> m_okCheck;
};
