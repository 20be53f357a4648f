// The progress window of a command that goes through many items (symbols, portfolios): a
// window-modal QProgressDialog whose Cancel becomes a stop flag the core work polls. It is
// repainted every few hundredths of a second, not once per item, so that thousands of small
// items are not held up by their own progress bar.
#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

#include <atomic>
#include <cstddef>

class QWidget;

class CBatchProgress {
 public:
  // verbFormat names the item at hand: "Exporting %1".
  CBatchProgress(QWidget* parent, const QString& objectName, const QString& title,
                 const QString& verbFormat);
  void update(std::size_t done, std::size_t total, const QString& what);
  const std::atomic<bool>* stopFlag() const { return &m_stop; }

 private:
  QProgressDialog m_window;
  QString m_verbFormat;
  QElapsedTimer m_clock;
  std::atomic<bool> m_stop{false};
};
