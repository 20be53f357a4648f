// The Symbol menu's About command (data facts): describes the current row's symbol in
// CDataFactsDlg. Writes nothing.
#pragma once

#include <QString>

class QWidget;

// Shows the report of rowSymbol found from portfolioDir; an empty report when the symbol, its
// layout or its data file can't be had. A non-zero fileNumber describes the entry of the
// portfolio's own index files with that number (the row's).
void runDataFacts(QWidget* parent, const QString& portfolioDir, const QString& rowSymbol,
                  int fileNumber = 0);
