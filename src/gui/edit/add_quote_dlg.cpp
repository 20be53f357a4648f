#include "gui/edit/add_quote_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"

CAddQuoteDlg::CAddQuoteDlg(const QString& newDateText, QWidget* parent)
    : CQuoteCommandDlg(parent),
      m_date(new QLabel(newDateText, this)),
      m_explanation(new QLabel(tr("The new quote will be added using the same data as the "
                                  "following day. You may then edit it to suit."),
                               this)) {
  setWindowTitle(tr("Add Data"));
  m_date->setObjectName(QStringLiteral("newDate"));
  m_explanation->setObjectName(QStringLiteral("explanation"));
  m_explanation->setWordWrap(true);
  m_explanation->setFixedWidth(charWidths(40));

  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(new QLabel(tr("New Date:"), this));
  dateRow->addWidget(m_date);
  dateRow->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(dateRow);
  layout->addWidget(m_explanation);
  layout->addLayout(makeButtonRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setUpDialogKeys(*this, {okButton(), cancelButton()}, QStringLiteral("add-quote"));
}

QString CAddQuoteDlg::newDateText() const { return m_date->text(); }

QString CAddQuoteDlg::explanation() const { return m_explanation->text(); }
