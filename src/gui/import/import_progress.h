// The progress window of a long import step, with Cancel: it shows only once the step has
// lasted a moment, so a small file imports without a flash of it.
#pragma once

#include <atomic>

#include <QString>

#include "core/import.h"

class QProgressDialog;
class QWidget;

class CImportProgress {
 public:
  // Shows after this many milliseconds of one step.
  static constexpr int kShowAfterMs = 400;

  // A window over parent's window, saying label.
  CImportProgress(QWidget* parent, const QString& label);
  ~CImportProgress();
  CImportProgress(const CImportProgress&) = delete;
  CImportProgress& operator=(const CImportProgress&) = delete;

  // The callbacks core's parse and write take: the bar follows their progress, and Cancel
  // asks them to stop at their next check.
  core::ImportControl control();
  bool cancelled() const { return m_cancel.load(); }

 private:
  QProgressDialog* m_dialog;
  std::atomic<bool> m_cancel{false};
};
