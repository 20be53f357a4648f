// The "Symbols" group of the browser view: the symbols grid, the soundness checks of a MASTER
// with the offer to repair it, and the listing of its records.
#pragma once

#include "gui/edit/grid_pane.h"

class CSymbolsGridModel;

class CSymbolsPane : public CGridPane {
  Q_OBJECT
 public:
  explicit CSymbolsPane(QWidget* parent = nullptr);

  // True when the MASTER at masterPath may be listed: sound, or rebuilt by repairMaster. The
  // repair is offered when the checks find the MASTER damaged or its EMASTER or XMASTER
  // disagreeing with it (a sound MASTER is listed whatever the answer).
  bool validateMaster(const QString& masterPath, bool autoRepair);
  // Mends the portfolio's index files as `dorvane-cli repair` does, asking first (with the
  // problems found) unless autoRepair; true once they are in place.
  bool repairMaster(const QString& masterPath, bool autoRepair);
  // Lists the MASTER's records (at most 255, saying so when it holds more) and selects row.
  // Returns the number listed, or -1 when the file can't be read or holds fewer records
  // than its header says (the grid is then empty).
  int list(const QString& masterPath, int row);
  void clear();
  // Makes row current and selected, scrolled into view.
  void selectRow(int row);
  // The grid's order (column 0 symbol, 1 name), shown on the column title.
  void setSortOrder(int column, bool descending);

  CSymbolsGridModel* model() const { return m_model; }

 signals:
  // A row was clicked, or Enter pressed on it.
  void rowActivated();
  // A click on a column title sorted the rows; the current entry is still current, at the
  // grid's current row.
  void sorted(int column, bool descending);

 private:
  CSymbolsGridModel* m_model;
  QString m_indexRepairDeclined;  // the MASTER whose index files' repair was declined
};
