#include "gui/analysis/data_facts_dlg.h"

#include <cstdio>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/base/dialog_keys.h"
#include "gui/base/name_text.h"

namespace {

constexpr int kRecordFacts = 10;
constexpr int kFields = 8;
const char* const kRecordLabels[kRecordFacts] = {"Path:",
                                                 "File number",
                                                 "DAT file record length",
                                                 "DAT file number of fields",
                                                 "Number of quotes",
                                                 "Name of issue",
                                                 "First date in file*",
                                                 "Last date in file*",
                                                 "Data format",
                                                 "Symbol"};
const char* const kFieldLabels[kFields] = {"Date", "Time",  "Open", "High",
                                           "Low",  "Close", "Vol",  "OI"};

// A stored text field as shown: up to its first zero byte, blanks kept, in the code page of
// the portfolio's names.
QString stored(const std::string& field) { return masterText(field.substr(0, field.find('\0'))); }

QString dateText(float date) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%7.0f", static_cast<double>(date));
  return QString::fromLatin1(buffer);
}

}  // namespace

CDataFactsDlg::CDataFactsDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Selected Quote Series"));
  setModal(true);

  auto* record = new QGroupBox(QStringLiteral("Data from Master and DAT files"), this);
  auto* recordLayout = new QFormLayout(record);
  for (const char* label : kRecordLabels)
    recordLayout->addRow(QString::fromLatin1(label), valueLabel());

  auto* layout = new QGroupBox(QStringLiteral("Data from DOP file (may be synthetic)"), this);
  auto* fieldGrid = new QGridLayout(layout);
  fieldGrid->addWidget(new QLabel(QStringLiteral("Field"), layout), 0, 0);
  fieldGrid->addWidget(new QLabel(QStringLiteral("Input"), layout), 0, 1);
  fieldGrid->addWidget(new QLabel(QStringLiteral("Display"), layout), 0, 2);
  for (int field = 0; field < kFields; ++field) {
    fieldGrid->addWidget(new QLabel(QString::fromLatin1(kFieldLabels[field]), layout), field + 1,
                         0);
    fieldGrid->addWidget(valueLabel(), field + 1, 1);
    fieldGrid->addWidget(valueLabel(), field + 1, 2);
  }

  auto* groups = new QHBoxLayout;
  groups->addWidget(record, 1);
  groups->addWidget(layout);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDataFactsDlg::accept);

  auto* main = new QVBoxLayout(this);
  main->addLayout(groups);
  main->addWidget(new QLabel(
      QStringLiteral(
          "* The first trading day of the new Millennium is expressed as 1000103 (Jan 3, 2000) "),
      this));
  main->addWidget(new QLabel(
      QStringLiteral(
          "Because of limitations in the MetaStock format, the year after 99 is 100 (not 2000)"),
      this));
  main->addWidget(buttons);
  main->setSizeConstraint(QLayout::SetFixedSize);
  setUpDialogKeys(*this, {buttons->button(QDialogButtonBox::Ok)}, QStringLiteral("data-facts"));
}

QLabel* CDataFactsDlg::valueLabel() {
  auto* label = new QLabel(this);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_values << label;
  return label;
}

void CDataFactsDlg::setDescription(const qdb::SeriesDescription* d) {
  if (d == nullptr) {
    for (QLabel* label : m_values) label->clear();
    return;
  }
  const QString texts[kRecordFacts] = {QString::fromStdString(d->path),
                                       QString::number(d->file_number),
                                       QString::number(d->record_length),
                                       QString::number(d->field_count),
                                       QString::number(d->quote_count),
                                       stored(d->name),
                                       dateText(d->first_date),
                                       dateText(d->last_date),
                                       QString::fromLatin1(d->periodicity.c_str()),
                                       stored(d->symbol)};
  for (int i = 0; i < kRecordFacts; ++i) m_values[i]->setText(texts[i]);
  for (int field = 0; field < kFields; ++field) {
    m_values[kRecordFacts + 2 * field]->setText(
        QString::fromLatin1(d->input_format[field].c_str()));
    m_values[kRecordFacts + 2 * field + 1]->setText(
        QString::fromLatin1(d->display_format[field].c_str()));
  }
}

QStringList CDataFactsDlg::values() const {
  QStringList texts;
  for (const QLabel* label : m_values) texts << label->text();
  return texts;
}
