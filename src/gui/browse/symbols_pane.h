// The "Symbols" group of the browser view: the symbols grid, the soundness checks of a MASTER
// with the offer to repair it, and the listing of its records.
#pragma once

#include <QGroupBox>

class CGridView;
class CSettingsStore;
class CSymbolsGridModel;

class CSymbolsPane : public QGroupBox {
  Q_OBJECT
 public:
  explicit CSymbolsPane(QWidget* parent = nullptr);

  // True when the MASTER at masterPath may be listed: sound, or rebuilt by repairMaster.
  bool validateMaster(const QString& masterPath, bool autoRepair);
  // Rebuilds the damaged MASTER, asking first unless autoRepair; true once it is in place.
  bool repairMaster(const QString& masterPath, bool autoRepair);
  // Lists the MASTER's records (at most 255, saying so when it holds more) and selects row.
  // Returns the number listed, or -1 when the file can't be read or holds fewer records
  // than its header says (the grid is then empty).
  int list(const QString& masterPath, int row);
  void clear();

  // Column widths from and to the "SymbolGrid" settings.
  void restoreColumnWidths(const CSettingsStore& settings);
  void storeColumnWidths(CSettingsStore& settings) const;

  CGridView* grid() const { return m_grid; }
  CSymbolsGridModel* model() const { return m_model; }

 signals:
  // A row became the selected one (by mouse, keyboard or a fill).
  void rowSelected(int row);
  // A row was clicked, or Enter pressed on it.
  void rowActivated();

 private:
  CSymbolsGridModel* m_model;
  CGridView* m_grid;
};
