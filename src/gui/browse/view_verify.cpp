// Portfolio > Verify and Verify Tree: the report window, whose rows bring their symbol and day
// back to the main window.
#include "gui/analysis/verify_command.h"
#include "gui/analysis/verify_report_dlg.h"
#include "gui/base/path_text.h"
#include "gui/browse/dorvane_view.h"

void CDorvaneView::OnVerify() { openVerifyReport(m_state->portfolioDir(), false); }

void CDorvaneView::OnVerifyTree() { openVerifyReport(m_state->drive(), true); }

void CDorvaneView::openVerifyReport(const QString& dir, bool tree) {
  CVerifyReportDlg* report = runVerify(window(), dir, tree);
  if (report == nullptr) {
    emit statusNote(QStringLiteral("Verify cancelled"));
    return;
  }
  connect(report, &CVerifyReportDlg::findingActivated, this, [this](const core::Finding& f) {
    const QString symbol = QString::fromLatin1(f.symbol.c_str());
    if (!showQuote(fromPathString(f.portfolio), f.file_number, f.date, symbol, f.seconds))
      emit statusNote(symbol + QStringLiteral(" of ") + fromPathString(f.portfolio) +
                      QStringLiteral(" is not listed"));
  });
  report->show();
}
