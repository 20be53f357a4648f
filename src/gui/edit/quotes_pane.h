// The "Quotes" group of the browser view: the quotes grid and the loading of a symbol's
// quotes into it, newest first, with a progress bar in the main window's message pane.
#pragma once

#include <string>

#include "gui/edit/grid_pane.h"
#include "gui/edit/quotes_grid_loader.h"

class CQuotesGridModel;

class CQuotesPane : public CGridPane {
  Q_OBJECT
 public:
  explicit CQuotesPane(QWidget* parent = nullptr);

  // Loads the quotes of key (looked up from the portfolio directory) into the emptied grid.
  // The first 30 rows are painted before the rest are read. A non-zero fileNumber reads the
  // entry of the portfolio's own index files with that number (the symbol row's).
  QuoteLoadResult load(const QString& directory, const std::string& key, int fileNumber = 0);
  // Gives row the selected state (not the focus), when the grid has it.
  void selectRow(int row);
  void clear();

  CQuotesGridModel* model() const { return m_model; }

 private:
  CQuotesGridModel* m_model;
};
