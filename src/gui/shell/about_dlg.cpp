#include "gui/shell/about_dlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QSysInfo>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/prompter.h"
#include "gui/base/static_link.h"

namespace {

QLabel* textLabel(const QString& text, QWidget* parent, bool wrap = false) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wrap);
  return label;
}

QGroupBox* group(const QString& title, QWidget* child, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(child);
  return box;
}

// The program's own icon when the application has one, else a standard one.
QIcon programIcon(const QWidget* widget) {
  const QIcon own = QApplication::windowIcon();
  if (!own.isNull()) return own;
  return widget->style()->standardIcon(QStyle::SP_ComputerIcon);
}

}  // namespace

const QString CAboutDlg::kEmailAddress = QStringLiteral("dorvane@fenwold.example");
const QString CAboutDlg::kWebAddress = QStringLiteral("http://www.fenwold.example/dorvane/");

QString CAboutDlg::legalNotice() {
  return QStringLiteral(
      "This software is protected by copyright law and international treaties. "
      "MetaStock is a registered trademark of Equis International, Inc. "
      "CompuTrac is a trademark of CompuTrac, Inc.");
}

QString CAboutDlg::wordSizeText() {
  return QStringLiteral("A %1 bit application").arg(QSysInfo::WordSize);
}

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent),
      m_icon(new QLabel(this)),
      m_email(new CStaticLink(kEmailAddress, this)),
      m_web(new CStaticLink(kWebAddress, this)) {
  setWindowTitle(QStringLiteral("About Dorvane"));
  setModal(true);

  const int side = style()->pixelMetric(QStyle::PM_LargeIconSize);
  m_icon->setPixmap(programIcon(this).pixmap(side, side));
  m_icon->setObjectName(QStringLiteral("icon"));

  CVisitedLinks& visited = CVisitedLinks::instance();
  m_email->setObjectName(QStringLiteral("email"));
  m_email->setEmailAddress(kEmailAddress);
  m_email->setVisitedFlag(&visited.emailVisited);
  m_web->setObjectName(QStringLiteral("web"));
  m_web->setVisitedFlag(&visited.webVisited);

  auto* legal = textLabel(legalNotice(), this, true);
  legal->setObjectName(QStringLiteral("legal"));
  legal->setMinimumWidth(fontMetrics().averageCharWidth() * 52);

  auto* heading = new QVBoxLayout;
  heading->addWidget(textLabel(QStringLiteral("Dorvane Version 3.4"), this));
  heading->addWidget(textLabel(QStringLiteral("Copyright (C) 1998-2026"), this));
  auto* top = new QHBoxLayout;
  top->addWidget(m_icon, 0, Qt::AlignTop);
  top->addLayout(heading, 1);

  auto* author = new QHBoxLayout;
  author->addWidget(textLabel(QStringLiteral("Written by Fenwold Software"), this));
  author->addStretch(1);
  author->addWidget(textLabel(wordSizeText(), this));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(group(QStringLiteral("Legal Stuff"), legal, this));
  layout->addWidget(
      group(QStringLiteral("What Dorvane Does"),
            textLabel(QStringLiteral("Edits data in MetaStock or CompuTrac format"), this), this));
  layout->addLayout(author);
  layout->addWidget(m_email);
  layout->addWidget(m_web);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // The links come before OK in reading order; the focus starts on OK, so Enter closes the box.
  setUpDialogKeys(*this, {buttons->button(QDialogButtonBox::Ok), m_email, m_web}, QString());
}

void runAbout(QWidget* parent) {
  CAboutDlg dialog(parent);
  Prompter::instance().exec(dialog);
}
