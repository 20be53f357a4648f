#include "gui/import/import_progress.h"

#include <algorithm>

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr int kSteps = 1000;

}  // namespace

CImportProgress::CImportProgress(QWidget* parent, const QString& label)
    : m_dialog(new QProgressDialog(label, QStringLiteral("Cancel"), 0, kSteps, parent)) {
  m_dialog->setObjectName(QStringLiteral("importProgress"));
  m_dialog->setWindowTitle(QStringLiteral("Import"));
  // Modal to its window, so no choice of the import dialog changes while a step runs.
  m_dialog->setWindowModality(Qt::WindowModal);
  m_dialog->setMinimumDuration(kShowAfterMs);
  m_dialog->setAutoClose(false);
  m_dialog->setAutoReset(false);
  m_dialog->setValue(0);
  QObject::connect(m_dialog, &QProgressDialog::canceled, m_dialog, [this] { m_cancel = true; });
}

CImportProgress::~CImportProgress() { delete m_dialog; }

core::ImportControl CImportProgress::control() {
  core::ImportControl control;
  control.cancel = &m_cancel;
  control.progress = [this](std::uint64_t done, std::uint64_t total) {
    const int step = total == 0 ? 0 : static_cast<int>(done * kSteps / total);
    // setValue shows the window once the step has lasted kShowAfterMs; the events let it
    // paint and take the press of Cancel. Until it shows (and blocks its window) the user's
    // input waits, so nothing else starts meanwhile.
    const bool shown = m_dialog->isVisible();
    m_dialog->setValue(std::min(step, kSteps - 1));
    // Just shown: the window takes the keys, so Esc cancels.
    if (!shown && m_dialog->isVisible()) m_dialog->activateWindow();
    QCoreApplication::processEvents(m_dialog->isVisible() ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
  };
  return control;
}
