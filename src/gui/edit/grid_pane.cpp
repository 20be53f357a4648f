#include "gui/edit/grid_pane.h"

#include <QVBoxLayout>

#include "gui/edit/grid_columns.h"
#include "gui/edit/grid_model.h"
#include "gui/edit/grid_view.h"

CGridPane::CGridPane(const QString& title, CGridModel* model, const QString& section,
                     QWidget* parent)
    : QGroupBox(title, parent), m_grid(new CGridView(this)), m_section(section) {
  model->setParent(this);
  m_grid->setModel(model);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_grid);
  // The current row is the one commands act on; other rows may be selected with it for copying.
  connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) emit rowSelected(current.row());
          });
}

void CGridPane::restoreColumnWidths(const CSettingsStore& settings) {
  ::restoreColumnWidths(*m_grid, settings, m_section);
}

void CGridPane::storeColumnWidths(CSettingsStore& settings) const {
  ::storeColumnWidths(*m_grid, settings, m_section);
}
