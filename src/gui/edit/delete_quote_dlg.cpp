#include "gui/edit/delete_quote_dlg.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/prompter.h"

CDeleteQuoteDlg::CDeleteQuoteDlg(const QString& dateText, QWidget* parent, const QString& timeText)
    : CQuoteCommandDlg(parent),
      m_dateText(dateText.left(kDateLength)),
      m_timeText(timeText),
      m_date(new QLabel(timeText.isEmpty() ? m_dateText : m_dateText + QLatin1Char(' ') + timeText,
                        this)) {
  setWindowTitle(tr("Delete Data"));
  m_date->setObjectName(QStringLiteral("date"));
  m_date->setAlignment(Qt::AlignCenter);

  auto* group = new QGroupBox(tr("Selected Date to Delete:"), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_date);
  group->setMinimumWidth(charWidths(28));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(makeButtonRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setOkCheck([this] { return confirm(); });
  setUpDialogKeys(*this, {okButton(), cancelButton()}, QStringLiteral("delete-quote"));
}

bool CDeleteQuoteDlg::confirm() {
  const QString question =
      tr("You are about to delete the data for date\n") + m_date->text() + tr("\nAre you sure?");
  m_confirmed = Prompter::instance().message(this, question, Prompter::Icon::Question,
                                             Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
  return m_confirmed;
}
