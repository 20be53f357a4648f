#include "gui/edit/quotes_pane.h"

#include <algorithm>

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>

#include "gui/base/path_text.h"
#include "gui/base/setting_keys.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"

namespace {

// Rows on screen before the rest of a long series is read.
constexpr int kRowsPaintedFirst = 30;

// Shows the quote load's progress bar in the main window's message pane while it lives.
class StatusProgress {
 public:
  explicit StatusProgress(QWidget* pane) {
    auto* frame = qobject_cast<QMainWindow*>(pane->window());
    if (!frame || !frame->statusBar() || !frame->statusBar()->isVisible()) return;
    // The bar takes the message pane's place while it lives.
    m_idle = frame->statusBar()->findChild<QLabel*>(QStringLiteral("idleMessage"));
    if (m_idle) m_idle->hide();
    m_bar = new QProgressBar(frame->statusBar());
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(frame->statusBar()->height());
    frame->statusBar()->insertWidget(0, m_bar, 1);
    m_bar->show();
  }
  ~StatusProgress() {
    delete m_bar;
    if (m_idle) m_idle->show();
  }
  StatusProgress(const StatusProgress&) = delete;
  StatusProgress& operator=(const StatusProgress&) = delete;

  void show(int loaded, int total) {
    if (!m_bar) return;
    m_bar->setRange(0, std::max(total - 1, 0));
    m_bar->setValue(std::min(loaded, m_bar->maximum()));
    m_bar->repaint();
  }

 private:
  QProgressBar* m_bar = nullptr;
  QLabel* m_idle = nullptr;
};

}  // namespace

CQuotesPane::CQuotesPane(QWidget* parent)
    : CGridPane(QStringLiteral("Quotes"), new CQuotesGridModel,
                QString::fromLatin1(setting_keys::kQuoteGrid), parent),
      m_model(static_cast<CQuotesGridModel*>(grid()->model())) {}

QuoteLoadResult CQuotesPane::load(const QString& directory, const std::string& key,
                                  int fileNumber) {
  m_model->clear();
  StatusProgress progress(this);
  bool painted = false;
  const QuoteLoadResult result = load_quotes(
      *m_model, toPathString(directory), key,
      [&](int loaded, int total) {
        progress.show(loaded, total);
        if (!painted && loaded >= kRowsPaintedFirst) {
          painted = true;
          grid()->viewport()->repaint();
        }
      },
      fileNumber);
  if (result.has_time) {
    // The Time column sits after the seven quote columns in the model (so stored widths keep
    // their columns) and is shown beside the date.
    QHeaderView* header = grid()->horizontalHeader();
    header->moveSection(header->visualIndex(CQuotesGridModel::kTimeColumn), 1);
  }
  return result;
}

void CQuotesPane::selectRow(int row) {
  if (row < 0 || row >= m_model->rowCount()) return;
  // Current as well as selected, so the keys move on from this row; and scrolled into view.
  const QModelIndex index = m_model->index(row, 0);
  grid()->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid()->scrollTo(index);
}

void CQuotesPane::clear() { m_model->clear(); }
