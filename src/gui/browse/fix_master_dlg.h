// "Fix Master File": the question before a damaged MASTER is rebuilt (OK, Help, Cancel) and
// the report of each record the rebuild drops (OK and Help; Cancel hidden). Help opens the
// manual's "Fixing a bad Master" topic and leaves the dialog open.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class CFixMasterDlg : public QDialog {
  Q_OBJECT
 public:
  enum class Form { Confirmation, Report };

  CFixMasterDlg(const QString& message, Form form, QWidget* parent = nullptr);

  QString message() const;
  Form form() const { return m_form; }
  QPushButton* helpButton() const { return m_help; }
  QPushButton* cancelButton() const { return m_cancel; }

  // The manual topic the Help button opens ("Fixing a bad Master").
  static QString helpTopic();

 private:
  Form m_form;
  QLabel* m_message;
  QPushButton* m_help;
  QPushButton* m_cancel;
};
