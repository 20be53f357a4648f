#include "gui/edit/go_to_date_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

CGoToDateDlg::CGoToDateDlg(const QString& dateText, QWidget* parent)
    : QDialog(parent), m_date(new QLineEdit(dateText, this)) {
  setWindowTitle(QStringLiteral("Go to Date"));
  m_date->setObjectName(QStringLiteral("date"));
  m_date->setMaxLength(10);
  m_date->setPlaceholderText(QStringLiteral("MM/DD/YY"));
  m_date->selectAll();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QFormLayout(this);
  layout->addRow(QStringLiteral("&Date:"), m_date);
  layout->addRow(buttons);
}

QString CGoToDateDlg::dateText() const { return m_date->text().trimmed(); }
