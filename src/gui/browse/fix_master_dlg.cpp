#include "gui/browse/fix_master_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/help.h"

CFixMasterDlg::CFixMasterDlg(const QString& message, Form form, QWidget* parent)
    : QDialog(parent),
      m_form(form),
      m_message(new QLabel(message, this)),
      m_help(new QPushButton(QStringLiteral("Help"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("Fix Master File"));
  setModal(true);

  // The message keeps its own line breaks and no others: the label is as wide as its
  // longest line.
  m_message->setTextFormat(Qt::PlainText);
  m_message->setWordWrap(false);
  m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_message->setMinimumSize(m_message->sizeHint());

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  m_help->setAutoDefault(false);
  m_cancel->setAutoDefault(false);
  m_cancel->setVisible(form == Form::Confirmation);

  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_help, &QPushButton::clicked, this, [this] { showHelp(helpTopic(), this); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(m_help);
  buttons->addWidget(m_cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_message, 1);
  layout->addLayout(buttons);
  setUpDialogKeys(*this, {ok, m_help, m_cancel}, helpTopic());
}

QString CFixMasterDlg::message() const { return m_message->text(); }

QString CFixMasterDlg::helpTopic() { return QStringLiteral("fixing-bad-master"); }
