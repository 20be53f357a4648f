// A group box around one grid, as the "Symbols" and "Quotes" groups are: the grid over its
// model, the selected row announced, and the column widths kept in one settings section.
#pragma once

#include <QGroupBox>

class CGridModel;
class CGridView;
class CSettingsStore;

class CGridPane : public QGroupBox {
  Q_OBJECT
 public:
  // The group titled title, its grid showing model (which the pane takes as a child), the
  // widths kept in settings section.
  CGridPane(const QString& title, CGridModel* model, const QString& section,
            QWidget* parent = nullptr);

  // Column widths from and to the settings section.
  void restoreColumnWidths(const CSettingsStore& settings);
  void storeColumnWidths(CSettingsStore& settings) const;

  CGridView* grid() const { return m_grid; }

 signals:
  // A row became the current one (by mouse, keyboard or a fill).
  void rowSelected(int row);

 private:
  CGridView* m_grid;
  QString m_section;
};
