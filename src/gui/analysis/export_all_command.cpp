#include "gui/analysis/export_all_command.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>
#include <cerrno>
#include <vector>

#include "core/bulk_export.h"
#include "gui/analysis/export_dlg.h"
#include "gui/analysis/export_settings.h"
#include "gui/base/batch_progress.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "qdb/error.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace {

// A message lists at most this many names, then says how many more there are.
constexpr int kListedNames = 12;

QString nameList(const QStringList& names) {
  QStringList shown = names.mid(0, kListedNames);
  if (names.size() > kListedNames)
    shown << QStringLiteral("... and %1 more").arg(names.size() - kListedNames);
  return shown.join(QLatin1Char('\n'));
}

QString replaceQuestion(const std::vector<std::string>& clashes, const QString& target) {
  QStringList names;
  for (const std::string& name : clashes) names << QString::fromStdString(name);
  const QString head =
      names.size() == 1
          ? QStringLiteral("This file already exists in %1:").arg(target)
          : QStringLiteral("These %1 files already exist in %2:").arg(names.size()).arg(target);
  return head + QLatin1Char('\n') + nameList(names) + QStringLiteral("\n\nReplace existing files?");
}

// Makes the output folder when it does not exist; the Error naming it when it can't.
qdb::Result<void> makeFolder(const std::string& dir) {
  qdb::FileSystem& files = qdb::file_system();
  if (files.exists(dir)) return {};
  errno = 0;
  if (files.create_directory(dir)) return {};
  return qdb::last_error_of(dir);
}

}  // namespace

QString runExportAll(QWidget* parent, CSettingsStore& settings, const QString& portfolioDir) {
  CExportDlg dialog(parent, CExportDlg::Scope::Portfolio);
  const core::ExportOptions saved = loadExportOptions(settings);
  dialog.setOptions(saved);
  const ExportAllTarget lastTarget = loadExportAllTarget(settings);
  dialog.pathEdit()->setText(lastTarget.path);
  dialog.setSingle(lastTarget.single);
  Prompter& prompter = Prompter::instance();

  const std::string dir = toPathString(portfolioDir);
  core::BulkExportRequest request;
  QString target;
  for (;;) {
    if (prompter.exec(dialog) != QDialog::Accepted) return {};
    target = dialog.pathEdit()->text().trimmed();
    if (target.isEmpty()) {
      prompter.message(
          parent, QStringLiteral("Invalid Data Entered\nChoose the %1 to write to")
                      .arg(dialog.single() ? QStringLiteral("file") : QStringLiteral("folder")));
      continue;
    }
    request = {};
    request.options = dialog.options();
    if (dialog.single()) {
      request.single_file = toPathString(target);
      request.out_dir = qdb::normalize_dir(toPathString(QFileInfo(target).absolutePath()));
    } else {
      request.out_dir = qdb::normalize_dir(toPathString(target));
    }
    const core::BulkExportPlan plan(dir);
    if (!plan.ok()) {
      prompter.message(parent, QStringLiteral("file export error"));
      return {};
    }
    const std::vector<std::string> clashes = core::bulk_export_clashes(plan, request);
    if (clashes.empty()) break;
    const QString where = dialog.single() ? QFileInfo(target).absolutePath() : target;
    if (prompter.message(parent, replaceQuestion(clashes, where), Prompter::Icon::None,
                         Prompter::Buttons::YesNo) == Prompter::Answer::Yes) {
      request.force = true;
      break;
    }
  }
  core::ExportOptions kept = request.options;
  kept.path = saved.path;  // the single export's file stays as it was
  saveExportOptions(settings, kept);
  saveExportAllTarget(settings, {target, dialog.single()});

  if (const qdb::Result<void> made = makeFolder(request.out_dir); !made) {
    prompter.message(parent, QString::fromStdString(made.error().with_cause("file export error")));
    return {};
  }
  // Read afresh: the portfolio may have changed while the questions were open.
  const core::BulkExportPlan plan(dir);
  if (!plan.ok()) {
    prompter.message(parent, QStringLiteral("file export error"));
    return {};
  }
  core::BulkExportResult result;
  {
    CBatchProgress progress(parent, QStringLiteral("exportAllProgress"),
                            QStringLiteral("Export All"), QStringLiteral("Exporting %1"));
    request.progress = [&progress](std::size_t done, std::size_t total, const std::string& symbol) {
      progress.update(done, total, QString::fromStdString(symbol));
    };
    request.cancel = progress.stopFlag();
    result = core::run_bulk_export(plan, request);
  }

  switch (result.outcome) {
    case core::BulkExportOutcome::kCancelled:
      return QStringLiteral("Export All stopped; nothing was written");
    case core::BulkExportOutcome::kDone:
      break;
    case core::BulkExportOutcome::kFailed:
      prompter.message(
          parent, QStringLiteral("file export error\n") + QString::fromStdString(result.failure));
      return {};
    default:
      prompter.message(parent, QStringLiteral("file export error"));
      return {};
  }
  const std::size_t exported = plan.items().size() - result.skipped.size();
  const QString summary = QStringLiteral("Exported %1 of %2 symbols to %3")
                              .arg(exported)
                              .arg(plan.items().size())
                              .arg(target);
  if (!result.skipped.empty()) {
    QStringList names;
    for (const core::BulkExportSkip& skip : result.skipped)
      names << QString::fromStdString(skip.symbol + (skip.cause.empty() ? "" : ": " + skip.cause));
    prompter.message(parent,
                     summary + QStringLiteral("\nThe quotes of these symbols can't be read:\n") +
                         nameList(names),
                     Prompter::Icon::Warning);
    return summary;
  }
  prompter.beep();
  return summary;
}
