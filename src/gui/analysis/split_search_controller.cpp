#include "gui/analysis/split_search_controller.h"

CSplitSearchController::CSplitSearchController(QObject* parent) : QObject(parent) {}

CSplitSearchController::~CSplitSearchController() { delete m_window.data(); }

void CSplitSearchController::open(QWidget* frame, CSplitSearchDlg::SourceProvider source,
                                  const QString& directory) {
  if (m_window) {
    m_window->raise();
    m_window->activateWindow();
    return;
  }
  auto* window = new CSplitSearchDlg(std::move(source), frame);
  window->setAttribute(Qt::WA_DeleteOnClose);
  m_window = window;
  if (!directory.isEmpty()) window->setPortfolioTitle(directory);
  connect(window, &CSplitSearchDlg::resultActivated, this,
          &CSplitSearchController::resultActivated);
  // The flag clears as the window closes, before it is deleted.
  connect(window, &QDialog::finished, this, [this, window] {
    if (m_window == window) m_window.clear();
    emit openChanged(false);
  });
  window->show();
  emit openChanged(true);
}
