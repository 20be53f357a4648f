#include "gui/symbols/move_symbol_dlg.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"

namespace {

QLabel* plainLabel(const QString& text, const QString& objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setObjectName(objectName);
  return label;
}

}  // namespace

CMoveSymbolDlg::CMoveSymbolDlg(const QString& symbol, const QString& name,
                               const QString& portfolioDir, const QStringList& portfolios,
                               const QString& selected, core::TransferMode mode, QWidget* parent)
    : QDialog(parent), m_move(mode == core::TransferMode::Move), m_list(new QListWidget(this)) {
  setWindowTitle(m_move ? QStringLiteral("Move Symbol") : QStringLiteral("Copy Symbol"));
  setModal(true);

  m_list->setObjectName(QStringLiteral("destinations"));
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  bool skipped = false;
  for (const QString& entry : portfolios) {
    // Only the one entry selected in the browser is left out, even if another reads the same.
    if (!skipped && entry == selected) {
      skipped = true;
      continue;
    }
    m_list->addItem(entry);
  }
  m_list->sortItems(Qt::AscendingOrder);
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  int widest = 0;
  for (int i = 0; i < m_list->count(); ++i)
    widest = std::max(widest, m_list->fontMetrics().horizontalAdvance(m_list->item(i)->text()));
  m_list->setMinimumWidth(std::min(widest, fontMetrics().averageCharWidth() * 60) + 24);

  auto* facts = new QFormLayout;
  facts->addRow(QStringLiteral("You have chosen Symbol:"), plainLabel(symbol, "symbol", this));
  facts->addRow(QStringLiteral("with Name:"), plainLabel(name, "name", this));
  facts->addRow(QStringLiteral("presently in Portfolio:"),
                plainLabel(portfolioDir, "portfolio", this));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CMoveSymbolDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CMoveSymbolDlg::reject);
  connect(m_list, &QListWidget::itemDoubleClicked, this, &CMoveSymbolDlg::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(facts);
  layout->addWidget(new QLabel(QStringLiteral("Select destination portfolio and click OK"), this));
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  setUpDialogKeys(
      *this,
      {m_list, buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel)},
      QStringLiteral("move-copy-symbol"));
}

void CMoveSymbolDlg::accept() {
  const QList<QListWidgetItem*> chosen = m_list->selectedItems();
  if (!chosen.isEmpty()) m_destination = chosen.first()->text();
  QDialog::accept();
}
