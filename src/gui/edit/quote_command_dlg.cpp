#include "gui/edit/quote_command_dlg.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "gui/base/title_width.h"

CQuoteCommandDlg::CQuoteCommandDlg(QWidget* parent)
    : QDialog(parent),
      m_ok(new QPushButton(tr("OK"), this)),
      m_cancel(new QPushButton(tr("Cancel"), this)) {
  setModal(true);
  m_ok->setObjectName(QStringLiteral("ok"));
  m_cancel->setObjectName(QStringLiteral("cancel"));
  m_ok->setDefault(true);
  connect(m_ok, &QPushButton::clicked, this, &CQuoteCommandDlg::accept);
  connect(m_cancel, &QPushButton::clicked, this, &CQuoteCommandDlg::reject);
}

void CQuoteCommandDlg::showEvent(QShowEvent* event) {
  keepTitleVisible(*this);
  QDialog::showEvent(event);
}

void CQuoteCommandDlg::accept() {
  if (m_okCheck && !m_okCheck()) return;
  QDialog::accept();
}

QHBoxLayout* CQuoteCommandDlg::makeButtonRow() {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(m_ok);
  row->addWidget(m_cancel);
  return row;
}

int CQuoteCommandDlg::charWidths(int n) const { return fontMetrics().averageCharWidth() * n; }

void CQuoteCommandDlg::setUpFactorFields(std::initializer_list<QLineEdit*> fields, int maxLength,
                                         int widthChars) {
  for (QLineEdit* field : fields) {
    field->setMaxLength(maxLength);
    field->setText(QStringLiteral("1"));
    field->setFixedWidth(charWidths(widthChars));
  }
}
