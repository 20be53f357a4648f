#include "gui/edit/edit_quote_dlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/widget_names.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quote_command.h"
#include "gui/edit/quote_rows.h"

namespace {

constexpr const char* kLabels[6] = {
    "Open:", "High:", "Low:", "Close:", "Volume:", "Open Interest:"};
constexpr const char* kNames[6] = {"open", "high", "low", "close", "volume", "openInterest"};

}  // namespace

CEditQuoteDlg::CEditQuoteDlg(const QuoteRows& rows, int row, QWidget* parent)
    : CQuoteCommandDlg(parent),
      m_rows(rows),
      m_date(named(new QLabel(this), "date")),
      // Only a series with times has a time to show; a daily one keeps the date alone.
      m_time(rows.hasTime() ? named(new QLabel(this), "time") : nullptr),
      m_previous(named(new QPushButton(tr("Previous"), this), "previous")),
      m_next(named(new QPushButton(tr("Next"), this), "next")),
      m_first(named(new QPushButton(tr("First"), this), "first")),
      m_last(named(new QPushButton(tr("Last"), this), "last")) {
  setWindowTitle(tr("Edit Selected Quote"));
  for (QPushButton* button : {m_previous, m_next, m_first, m_last}) {
    button->setAutoDefault(false);
    button->setEnabled(false);
  }

  auto* group = new QGroupBox(this);
  auto* form = new QFormLayout(group);
  form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
  if (m_time) {
    auto* stamp = new QHBoxLayout;
    stamp->addWidget(m_date);
    stamp->addWidget(m_time);
    stamp->addStretch();
    form->addRow(tr("Date:"), stamp);
  } else {
    form->addRow(tr("Date:"), m_date);
  }
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    m_fields[i] = new CNumberEdit(group);
    m_fields[i]->setObjectName(QString::fromLatin1(kNames[i]));
    m_fields[i]->setMaxLength(kFieldLength);
    m_fields[i]->setFixedWidth(charWidths(12));
    form->addRow(tr(kLabels[i]), m_fields[i]);
  }

  auto* steps = new QHBoxLayout;
  steps->addWidget(m_previous);
  steps->addWidget(m_next);
  auto* ends = new QHBoxLayout;
  ends->addWidget(m_first);
  ends->addWidget(m_last);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(steps);
  layout->addLayout(ends);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addLayout(makeButtonRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(m_first, &QPushButton::clicked, this, [this] { load(m_rows.rowCount() - 1); });
  connect(m_last, &QPushButton::clicked, this, [this] { load(0); });
  connect(m_next, &QPushButton::clicked, this, [this] {
    if (m_row > 0) load(m_row - 1);
  });
  connect(m_previous, &QPushButton::clicked, this, [this] {
    if (m_row < m_rows.rowCount() - 1) load(m_row + 1);
  });
  load(row);
  // Reading order: the six fields, the four steps, then OK and Cancel.
  setUpDialogKeys(*this,
                  {m_fields[0], m_fields[1], m_fields[2], m_fields[3], m_fields[4], m_fields[5],
                   m_previous, m_next, m_first, m_last, okButton(), cancelButton()},
                  QStringLiteral("edit-quote"));
}

QString CEditQuoteDlg::dateText() const { return m_date->text(); }

QString CEditQuoteDlg::timeText() const { return m_time ? m_time->text() : QString(); }

core::EditQuoteEntry CEditQuoteDlg::entry() const {
  core::EditQuoteEntry entry;
  entry.date_text = dateText().toStdString();
  entry.address = quote_command::rowAddress(m_rows, m_row);
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    const QString text = m_fields[i]->text();
    entry.fields[i] = {text.toStdString(), text == m_loaded[i]};
  }
  return entry;
}

void CEditQuoteDlg::load(int row) {
  m_row = row;
  m_date->setText(m_rows.text(row, QuoteRows::kDate).left(8));
  if (m_time) m_time->setText(m_rows.timeText(row));
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    m_fields[i]->setText(m_rows.text(row, QuoteRows::kOpen + static_cast<int>(i)));
    // As the field holds it (cut to its length), so an untouched field reads as kept.
    m_loaded[i] = m_fields[i]->text();
  }
  const int last = m_rows.rowCount() - 1;
  m_next->setEnabled(row != 0);
  m_last->setEnabled(row != 0);
  m_previous->setEnabled(row != last);
  m_first->setEnabled(row != last);
}
