#include "gui/analysis/export_dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/analysis/save_file_dialog.h"
#include "gui/base/dialog_keys.h"
#include "gui/base/widget_names.h"

namespace {

// A group box of radio buttons with ids 0, 1, ... in the order given.
QGroupBox* radioGroup(const QString& title, const QStringList& texts, QButtonGroup* group,
                      QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(box);
  group->setExclusive(true);
  for (int id = 0; id < texts.size(); ++id) {
    auto* button = new QRadioButton(texts[id], box);
    group->addButton(button, id);
    layout->addWidget(button);
  }
  return box;
}

void selectRadio(QButtonGroup* group, int id) {
  // No button at all for a value outside the group: exclusivity would keep the old one.
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(group->id(button) == id);
  group->setExclusive(true);
}

}  // namespace

CExportDlg::CExportDlg(QWidget* parent, Scope scope)
    : QDialog(parent),
      m_scope(scope),
      m_pathLabel(new QLabel(this)),
      m_path(named(new QLineEdit(this), "path")),
      m_browse(new QPushButton(QStringLiteral("Browse..."), this)),
      m_delimiter(new QButtonGroup(this)),
      m_order(new QButtonGroup(this)),
      m_dateForm(new QButtonGroup(this)),
      m_omitOpen(new QCheckBox(QStringLiteral("Open"), this)),
      m_omitHigh(new QCheckBox(QStringLiteral("High"), this)),
      m_omitLow(new QCheckBox(QStringLiteral("Low"), this)),
      m_omitClose(new QCheckBox(QStringLiteral("Close"), this)),
      m_omitVolume(new QCheckBox(QStringLiteral("Volume"), this)),
      m_omitOi(new QCheckBox(QStringLiteral("Open Interest"), this)),
      m_title(new QCheckBox(QStringLiteral("Add title row"), this)),
      m_time(new QCheckBox(QStringLiteral("Add time column"), this)) {
  setWindowTitle(scope == Scope::Symbol ? QStringLiteral("Export") : QStringLiteral("Export All"));
  setModal(true);
  m_pathLabel->setBuddy(m_path);
  m_path->setMaxLength(kMaxPathLength);
  m_path->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
  m_browse->setAutoDefault(false);
  connect(m_browse, &QPushButton::clicked, this, &CExportDlg::browse);

  auto* file = new QHBoxLayout;
  file->addWidget(m_pathLabel);
  file->addWidget(m_path, 1);
  file->addWidget(m_browse);
  if (scope == Scope::Portfolio) {
    m_single =
        named(new QCheckBox(QStringLiteral("One file with a SYMBOL column"), this), "single");
    connect(m_single, &QCheckBox::toggled, this, &CExportDlg::updatePathLabel);
  }
  updatePathLabel();

  auto* omit = new QGroupBox(QStringLiteral("Omit these columns"), this);
  auto* omitLayout = new QGridLayout(omit);
  QCheckBox* const boxes[] = {m_omitOpen,  m_omitHigh,   m_omitLow,
                              m_omitClose, m_omitVolume, m_omitOi};
  for (int i = 0; i < 6; ++i) omitLayout->addWidget(boxes[i], i % 3, i / 3);

  auto* delimiters = radioGroup(
      QStringLiteral("Column Delimiters"),
      {QStringLiteral("Space"), QStringLiteral("Comma"), QStringLiteral("Tab")}, m_delimiter, this);
  auto* order = radioGroup(
      QStringLiteral("Order"),
      {QStringLiteral("Oldest quote first"), QStringLiteral("Newest quote first")}, m_order, this);
  auto* title = new QGroupBox(QStringLiteral("Title"), this);
  auto* titleLayout = new QVBoxLayout(title);
  titleLayout->addWidget(m_title);

  auto* dates = radioGroup(QStringLiteral("Dates"),
                           {QStringLiteral("MM/DD/YY"), QStringLiteral("MM/DD/YYYY"),
                            QStringLiteral("YYYY-MM-DD"), QStringLiteral("YYYYMMDD")},
                           m_dateForm, this);
  dates->layout()->addWidget(m_time);

  auto* choices = new QGridLayout;
  choices->addWidget(omit, 0, 0);
  choices->addWidget(delimiters, 0, 1);
  choices->addWidget(order, 1, 0);
  choices->addWidget(title, 1, 1);
  choices->addWidget(dates, 0, 2, 2, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CExportDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CExportDlg::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(file);
  if (m_single) layout->addWidget(m_single);
  layout->addLayout(choices);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Reading order: the path row, then the groups row by row (Omit, Column Delimiters, Dates
  // with its time box, Order, Title), then OK and Cancel.
  QList<QWidget*> tabOrder{m_path, m_browse};
  if (m_single) tabOrder << m_single;
  for (QCheckBox* box : boxes) tabOrder << box;
  for (QButtonGroup* group : {m_delimiter, m_dateForm}) {
    for (QAbstractButton* button : group->buttons()) tabOrder << button;
    if (group == m_dateForm) tabOrder << m_time;
  }
  for (QAbstractButton* button : m_order->buttons()) tabOrder << button;
  tabOrder << m_title << buttons->button(QDialogButtonBox::Ok)
           << buttons->button(QDialogButtonBox::Cancel);
  setUpDialogKeys(*this, tabOrder, QStringLiteral("export"));
}

void CExportDlg::setOptions(const core::ExportOptions& options) {
  m_path->setText(QString::fromStdString(options.path));
  selectRadio(m_delimiter, options.delimiter);
  m_omitOpen->setChecked(options.omit_open);
  m_omitHigh->setChecked(options.omit_high);
  m_omitLow->setChecked(options.omit_low);
  m_omitClose->setChecked(options.omit_close);
  m_omitVolume->setChecked(options.omit_volume);
  m_omitOi->setChecked(options.omit_oi);
  m_title->setChecked(options.title);
  selectRadio(m_order, options.newest_first ? 1 : 0);
  selectRadio(m_dateForm, static_cast<int>(options.date_form));
  m_time->setChecked(options.time);
}

core::ExportOptions CExportDlg::options() const {
  core::ExportOptions options;
  options.path = m_path->text().toStdString();
  options.delimiter = m_delimiter->checkedId();
  options.omit_open = m_omitOpen->isChecked();
  options.omit_high = m_omitHigh->isChecked();
  options.omit_low = m_omitLow->isChecked();
  options.omit_close = m_omitClose->isChecked();
  options.omit_volume = m_omitVolume->isChecked();
  options.omit_oi = m_omitOi->isChecked();
  options.title = m_title->isChecked();
  options.newest_first = m_order->checkedId() == 1;
  // No button selected keeps the default form.
  if (m_dateForm->checkedId() >= 0)
    options.date_form = static_cast<core::ExportDateForm>(m_dateForm->checkedId());
  options.time = m_time->isChecked();
  return options;
}

QCheckBox* CExportDlg::checkBox(const QString& text) const {
  for (QCheckBox* box :
       {m_omitOpen, m_omitHigh, m_omitLow, m_omitClose, m_omitVolume, m_omitOi, m_title, m_time})
    if (box->text() == text) return box;
  return nullptr;
}

bool CExportDlg::single() const { return m_single && m_single->isChecked(); }

void CExportDlg::setSingle(bool single) {
  if (m_single) m_single->setChecked(single);
}

void CExportDlg::updatePathLabel() {
  m_pathLabel->setText(m_scope == Scope::Portfolio && !single() ? QStringLiteral("&Folder:")
                                                                : QStringLiteral("&File:"));
}

void CExportDlg::browse() {
  const QString chosen = m_scope == Scope::Portfolio && !single()
                             ? chooseFolder(this, m_path->text())
                             : chooseSaveFile(this, {m_path->text(), QStringLiteral("txt"), false});
  if (!chosen.isEmpty()) m_path->setText(chosen);
}
