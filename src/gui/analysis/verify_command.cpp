#include "gui/analysis/verify_command.h"

#include "gui/analysis/verify_report_dlg.h"
#include "gui/base/batch_progress.h"
#include "gui/base/path_text.h"
#include "gui/base/wait_cursor.h"

std::optional<std::vector<core::Finding>> runVerifyWithProgress(QWidget* parent, const QString& dir,
                                                                bool tree) {
  const CWaitCursor wait;
  CBatchProgress progress(parent, QStringLiteral("verifyProgress"), QStringLiteral("Verify"),
                          QStringLiteral("Verifying %1"));
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
