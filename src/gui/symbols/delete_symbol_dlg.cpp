#include "gui/symbols/delete_symbol_dlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/widget_names.h"

namespace {

// The symbol shown is at most this many characters.
constexpr int kMaxShown = 100;

}  // namespace

CDeleteSymbolDlg::CDeleteSymbolDlg(const QString& symbol, QWidget* parent)
    : QDialog(parent),
      m_symbol(named(new QLabel(symbol.left(kMaxShown), this), "symbol")),
      m_yes(new QPushButton(QStringLiteral("Yes"), this)),
      m_no(new QPushButton(QStringLiteral("No"), this)) {
  setWindowTitle(QStringLiteral("Delete Symbol"));
  setModal(true);
  m_symbol->setTextFormat(Qt::PlainText);
  m_symbol->setAlignment(Qt::AlignCenter);

  auto* group = new QGroupBox(QStringLiteral("Selected Symbol to Delete:"), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_symbol);

  auto* question =
      new QLabel(QStringLiteral("Are you sure you want to delete the Symbol shown above? "), this);
  question->setAlignment(Qt::AlignCenter);

  m_yes->setAutoDefault(false);
  m_no->setDefault(true);
  m_no->setAutoDefault(true);
  connect(m_yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_no, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_yes);
  buttons->addWidget(m_no);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(question);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  // Y and N answer as in every confirmation; the focus starts on the default, No.
  for (auto [key, button] : {std::pair{Qt::Key_Y, m_yes}, std::pair{Qt::Key_N, m_no}}) {
    auto* shortcut = new QShortcut(QKeySequence(key), this);
    connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
  }
  m_yes->setObjectName(QStringLiteral("yes"));
  m_no->setObjectName(QStringLiteral("no"));
  setUpDialogKeys(*this, {m_no, m_yes}, QStringLiteral("delete-symbol"));
}

QString CDeleteSymbolDlg::symbol() const { return m_symbol->text(); }

void CDeleteSymbolDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (QWidget* owner = parentWidget()) {
    const QRect area = owner->window()->frameGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
  }
}
