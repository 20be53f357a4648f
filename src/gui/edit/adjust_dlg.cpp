#include "gui/edit/adjust_dlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/widget_names.h"
#include "gui/edit/date_edit.h"
#include "gui/edit/number_edit.h"

namespace {

// Labels in the top row, each field under its label.
QGroupBox* labelled_columns(const QString& title, const QStringList& labels,
                            const QList<QWidget*>& fields, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  auto* grid = new QGridLayout(group);
  for (int i = 0; i < fields.size(); ++i) {
    auto* label = new QLabel(labels[i], group);
    label->setBuddy(fields[i]);
    grid->addWidget(label, 0, i);
    grid->addWidget(fields[i], 1, i);
  }
  return group;
}

}  // namespace

CAdjustDlg::CAdjustDlg(const QString& firstDate, const QString& lastDate, QWidget* parent)
    : CQuoteCommandDlg(parent),
      m_from(named(new CDateEdit(this), "fromDate")),
      m_to(named(new CDateEdit(this), "toDate")),
      m_price(named(new CNumberEdit(this), "priceMultiplier")),
      m_volume(named(new CNumberEdit(this), "volumeMultiplier")),
      m_openInterest(named(new QLineEdit(this), "openInterestMultiplier")) {
  setWindowTitle(tr("Adjust Data"));
  m_from->setDate(firstDate);
  m_to->setDate(lastDate);
  m_from->setFixedWidth(charWidths(11));
  m_to->setFixedWidth(charWidths(11));
  setUpFactorFields({m_price, m_volume, m_openInterest}, kMultiplierLength, 10);

  QGroupBox* dates = labelled_columns(tr("Dates"), {tr("From:"), tr("To:")}, {m_from, m_to}, this);
  QGroupBox* multipliers =
      labelled_columns(tr("Multipliers"), {tr("Price"), tr("Volume"), tr("Open Interest")},
                       {m_price, m_volume, m_openInterest}, this);

  auto* layout = new QGridLayout(this);
  layout->addWidget(dates, 0, 0, Qt::AlignTop);
  layout->addWidget(multipliers, 0, 1);
  layout->addLayout(makeButtonRow(), 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setUpDialogKeys(*this,
                  {m_from, m_to, m_price, m_volume, m_openInterest, okButton(), cancelButton()},
                  QStringLiteral("adjust"));
}

core::AdjustEntry CAdjustDlg::entry() const {
  core::AdjustEntry entry;
  entry.from_text = m_from->text().toStdString();
  entry.to_text = m_to->text().toStdString();
  entry.price = m_price->text().toStdString();
  entry.volume = m_volume->text().toStdString();
  entry.open_interest = m_openInterest->text().toStdString();
  return entry;
}
