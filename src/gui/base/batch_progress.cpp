#include "gui/base/batch_progress.h"

#include <QCoreApplication>

#include <algorithm>

CBatchProgress::CBatchProgress(QWidget* parent, const QString& objectName, const QString& title,
                               const QString& verbFormat)
    : m_window(verbFormat.arg(QString()).trimmed() + QStringLiteral("..."),
               QStringLiteral("Cancel"), 0, 1, parent),
      m_verbFormat(verbFormat) {
  m_window.setObjectName(objectName);
  m_window.setWindowTitle(title);
  m_window.setWindowModality(Qt::WindowModal);
  m_window.setAutoClose(false);
  m_window.setAutoReset(false);
  m_window.setMinimumDuration(500);
  QObject::connect(&m_window, &QProgressDialog::canceled, &m_window, [this] { m_stop = true; });
  m_clock.start();
}

void CBatchProgress::update(std::size_t done, std::size_t total, const QString& what) {
  if (done > 1 && m_clock.elapsed() < 40) return;
  m_clock.restart();
  m_window.setMaximum(static_cast<int>(std::max<std::size_t>(total, 1)));
  m_window.setLabelText(m_verbFormat.arg(what));
  m_window.setValue(static_cast<int>(done));
  // A window-modal progress dialog handles events in setValue; this covers the time before
  // it shows, so that Cancel and a test's script are seen from the first item on.
  QCoreApplication::processEvents();
  if (m_window.wasCanceled()) m_stop = true;
}
