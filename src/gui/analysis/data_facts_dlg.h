// "About Selected Quote Series": what the MASTER record, the data file and the layout say
// about one symbol. Read-only.
#pragma once

#include <QDialog>
#include <QStringList>

#include "qdb/describe.h"

class QLabel;

class CDataFactsDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CDataFactsDlg(QWidget* parent = nullptr);

  // Shows description; nullptr (no facts to be had) leaves every value empty.
  void setDescription(const qdb::SeriesDescription* description);

  // Every value shown, in order: path, file number, record length, field count, quote count,
  // name, first date, last date, data format, symbol, then each field's input and display.
  QStringList values() const;

 private:
  QLabel* valueLabel();

  QList<QLabel*> m_values;
};
