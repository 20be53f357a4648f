// The import dialog's texts from core's answers: what was found in a file, and the summary of
// what the import will change.
#pragma once

#include <QString>
#include <QStringList>

#include "core/import.h"

// "Detect" for kDetect, else the form as the user knows it ("YYYY-MM-DD", "DD-Mon-YYYY", ...).
QString importDateFormText(core::ImportDateForm form);

// "Found: comma, decimal point, YYYY-MM-DD, a header row" (the date form only once settled).
QString importFoundText(const core::ImportFileInfo& info);

// The summary of a parse and its plan: the error when either failed; else a line of totals and
// one line per symbol, new (file number and layout) or updated (days added, replaced, kept);
// then the notes of both.
QStringList importSummaryLines(const core::ImportParse& parse, const core::ImportPlan& plan);
