// "About Dorvane": the version, the legal notice, what the program does, the word size of the
// build, and the maker's e-mail address and web page as live links.
#pragma once

#include <QDialog>

class CStaticLink;
class QLabel;

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  static const QString kEmailAddress;
  static const QString kWebAddress;

  // The links report to the flags of the run's CVisitedLinks, so a visited link stays purple.
  explicit CAboutDlg(QWidget* parent = nullptr);

  // "This software is protected by ..." and the owners of the MetaStock and CompuTrac marks.
  static QString legalNotice();
  // "A 64 bit application" in a 64-bit build, "A 32 bit application" in a 32-bit one.
  static QString wordSizeText();

  CStaticLink* emailLink() const { return m_email; }
  CStaticLink* webLink() const { return m_web; }
  QLabel* iconLabel() const { return m_icon; }

 private:
  QLabel* m_icon;
  CStaticLink* m_email;
  CStaticLink* m_web;
};

// The Help menu's About command: runs the About box modally.
void runAbout(QWidget* parent);
