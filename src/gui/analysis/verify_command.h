// The Portfolio menu's Verify and Verify Tree commands: the verify run with a progress window
// whose Cancel stops it between symbols, then the report window.
#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "core/verify.h"

class CVerifyReportDlg;
class QWidget;

// Verifies the portfolio dir (tree: every portfolio below it) with the progress window open.
// The findings, or nullopt when the user cancelled.
std::optional<std::vector<core::Finding>> runVerifyWithProgress(QWidget* parent, const QString& dir,
                                                                bool tree);

// Runs the verify and opens its report window (owned by parent, deleted when closed), whose
// "Mend order and repeats" runs it again afterwards. nullptr when the user cancelled.
CVerifyReportDlg* runVerify(QWidget* parent, const QString& dir, bool tree);
