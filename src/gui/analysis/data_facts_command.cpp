#include "gui/analysis/data_facts_command.h"

#include "gui/analysis/data_facts_dlg.h"
#include "gui/base/name_text.h"
#include "gui/base/prompter.h"
#include "qdb/describe.h"

void runDataFacts(QWidget* parent, const QString& portfolioDir, const QString& rowSymbol,
                  int fileNumber) {
  qdb::SeriesDescription description;
  const bool described = qdb::describe_series(portfolioDir.toStdString(), masterBytes(rowSymbol),
                                              description, fileNumber) == 0;
  CDataFactsDlg dialog(parent);
  dialog.setDescription(described ? &description : nullptr);
  Prompter::instance().exec(dialog);
}
