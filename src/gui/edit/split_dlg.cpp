#include "gui/edit/split_dlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/widget_names.h"
#include "gui/edit/date_edit.h"
#include "gui/edit/number_edit.h"

CSplitDlg::CSplitDlg(const QString& dateText, QWidget* parent)
    : CQuoteCommandDlg(parent),
      m_date(named(new CDateEdit(this), "splitDate")),
      m_new(named(new CNumberEdit(this), "newShares")),
      m_old(named(new CNumberEdit(this), "oldShares")) {
  setWindowTitle(tr("Split Data"));
  m_date->setDate(dateText);
  m_date->setFixedWidth(charWidths(11));
  setUpFactorFields({m_new, m_old}, kSharesLength, 9);

  auto* dateGroup = new QGroupBox(tr("Split Date"), this);
  auto* dateLayout = new QVBoxLayout(dateGroup);
  dateLayout->addWidget(m_date);
  dateLayout->addStretch(1);

  auto* ratios = new QGroupBox(tr("Ratios"), this);
  auto* ratioLayout = new QFormLayout(ratios);
  ratioLayout->addRow(tr("New Shares"), m_new);
  ratioLayout->addRow(tr("Old Shares"), m_old);

  auto* layout = new QGridLayout(this);
  layout->addWidget(dateGroup, 0, 0, 2, 1);
  layout->addWidget(ratios, 0, 1);
  layout->addLayout(makeButtonRow(), 1, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setUpDialogKeys(*this, {m_date, m_new, m_old, okButton(), cancelButton()},
                  QStringLiteral("split"));
}

core::SplitEntry CSplitDlg::entry() const {
  return {m_date->text().toStdString(), m_new->text().toStdString(), m_old->text().toStdString()};
}
