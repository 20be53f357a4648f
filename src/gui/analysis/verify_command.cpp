#include "gui/analysis/verify_command.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <atomic>

#include "gui/analysis/verify_report_dlg.h"
#include "gui/base/path_text.h"
#include "gui/base/wait_cursor.h"

namespace {

// Shows the verify's progress and turns Cancel into the stop flag, repainted every few
// hundredths of a second rather than per symbol, as Export All's.
class VerifyProgress {
 public:
  explicit VerifyProgress(QWidget* parent)
      : m_window(QStringLiteral("Verifying..."), QStringLiteral("Cancel"), 0, 1, parent) {
    m_window.setObjectName(QStringLiteral("verifyProgress"));
    m_window.setWindowTitle(QStringLiteral("Verify"));
    m_window.setWindowModality(Qt::WindowModal);
    m_window.setAutoClose(false);
    m_window.setAutoReset(false);
    m_window.setMinimumDuration(500);
    QObject::connect(&m_window, &QProgressDialog::canceled, &m_window, [this] { m_stop = true; });
    m_clock.start();
  }
  void update(std::size_t done, std::size_t total, const QString& what) {
    if (done > 1 && m_clock.elapsed() < 40) return;
    m_clock.restart();
    m_window.setMaximum(static_cast<int>(std::max<std::size_t>(total, 1)));
    m_window.setLabelText(QStringLiteral("Verifying %1").arg(what));
    m_window.setValue(static_cast<int>(done));
    // As Export All: events are handled before the window shows, so Cancel is seen at once.
    QCoreApplication::processEvents();
    if (m_window.wasCanceled()) m_stop = true;
  }
  const std::atomic<bool>* stopFlag() const { return &m_stop; }

 private:
  QProgressDialog m_window;
  QElapsedTimer m_clock;
  std::atomic<bool> m_stop{false};
};

}  // namespace

std::optional<std::vector<core::Finding>> runVerifyWithProgress(QWidget* parent, const QString& dir,
                                                                bool tree) {
  const CWaitCursor wait;
  VerifyProgress progress(parent);
  core::VerifyOptions options;
  options.cancel = progress.stopFlag();
  std::vector<core::Finding> findings;
  const core::FindingSink sink = [&findings](const core::Finding& f) { findings.push_back(f); };
  core::VerifySummary summary;
  if (tree) {
    summary = core::verify_tree(
        toPathString(dir), options, sink,
        [&progress](std::size_t index, std::size_t count, const std::string& portfolio) {
          progress.update(index, count, fromPathString(portfolio));
        });
  } else {
    options.progress = [&progress](std::size_t done, std::size_t total, const std::string& symbol) {
      progress.update(done, total, QString::fromLatin1(symbol.c_str()));
    };
    summary = core::verify_portfolio(toPathString(dir), options, sink);
    if (!summary.readable) {
      core::Finding finding;
      finding.portfolio = toPathString(dir);
      finding.kind = core::FindingKind::kUnreadable;
      finding.values = summary.failure;
      findings.push_back(finding);
    }
  }
  if (summary.cancelled) return std::nullopt;
  return findings;
}

CVerifyReportDlg* runVerify(QWidget* parent, const QString& dir, bool tree) {
  std::optional<std::vector<core::Finding>> findings = runVerifyWithProgress(parent, dir, tree);
  if (!findings) return nullptr;
  const QString title =
      (tree ? QStringLiteral("Verify Tree - ") : QStringLiteral("Verify - ")) + dir;
  auto* report = new CVerifyReportDlg(
      parent, title, tree, std::move(*findings),
      [parent, dir, tree] { return runVerifyWithProgress(parent, dir, tree); });
  return report;
}
