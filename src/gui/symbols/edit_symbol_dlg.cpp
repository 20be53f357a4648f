#include "gui/symbols/edit_symbol_dlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/prompter.h"

namespace {

QGroupBox* framed(const QString& title, QWidget* child, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  layout->addWidget(child);
  return box;
}

}  // namespace

CEditSymbolDlg::CEditSymbolDlg(const QString& symbol, const QString& name, QWidget* parent)
    : QDialog(parent), m_symbol(new QLineEdit(symbol, this)), m_name(new QLineEdit(name, this)) {
  setWindowTitle(QStringLiteral("Edit Symbol"));
  setModal(true);
  m_symbol->setObjectName(QStringLiteral("symbol"));
  m_name->setObjectName(QStringLiteral("name"));
  m_symbol->setMaxLength(kMaxLength);
  m_name->setMaxLength(kMaxLength);
  const int width = fontMetrics().averageCharWidth() * (kMaxLength + 6);
  m_symbol->setMinimumWidth(width);
  m_name->setMinimumWidth(width);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditSymbolDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEditSymbolDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(framed(QStringLiteral("Symbol"), m_symbol, this));
  layout->addWidget(framed(QStringLiteral("Name"), m_name, this));
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setUpDialogKeys(*this,
                  {m_symbol, m_name, buttons->button(QDialogButtonBox::Ok),
                   buttons->button(QDialogButtonBox::Cancel)},
                  QStringLiteral("edit-symbol"));
}

QString CEditSymbolDlg::symbol() const { return m_symbol->text(); }

QString CEditSymbolDlg::name() const { return m_name->text(); }

void CEditSymbolDlg::accept() {
  if (symbol().isEmpty()) {
    Prompter::instance().message(this, QStringLiteral("You must enter a symbol"));
    m_symbol->setFocus();
    return;
  }
  QDialog::accept();
}
