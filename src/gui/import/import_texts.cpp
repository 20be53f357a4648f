#include "gui/import/import_texts.h"

#include <iterator>

#include "gui/base/path_text.h"

namespace {

// The date forms in core's order, kDetect first.
const char* const kDateForms[] = {"Detect",     "YYYY-MM-DD", "YYYYMMDD",    "MM/DD/YYYY",
                                  "DD/MM/YYYY", "DD.MM.YYYY", "DD-Mon-YYYY", "MM/DD/YY",
                                  "DD/MM/YY",   "YYMMDD"};

QString delimiterWord(char delimiter) {
  switch (delimiter) {
    case ',':
      return QStringLiteral("comma");
    case ';':
      return QStringLiteral("semicolon");
    case '\t':
      return QStringLiteral("tab");
    default:
      return QStringLiteral("spaces");
  }
}

QString symbolLine(const core::ImportSymbolPlan& symbol) {
  QString line = QString::fromStdString(symbol.symbol);
  if (!symbol.name.empty() && symbol.name != symbol.symbol)
    line += QStringLiteral(" (") + QString::fromStdString(symbol.name) + QStringLiteral(")");
  line += QStringLiteral(": ");
  if (symbol.new_symbol)
    line += QStringLiteral("new as F%1 (%2 fields, %3 bytes), %4 days")
                .arg(symbol.file_number)
                .arg(symbol.field_count)
                .arg(symbol.record_length)
                .arg(symbol.added);
  else
    line += QStringLiteral("%1 days added, %2 replaced, %3 kept")
                .arg(symbol.added)
                .arg(symbol.replaced)
                .arg(symbol.kept);
  line += QStringLiteral(" in ") + fromPathString(symbol.dir);
  if (symbol.new_portfolio) line += QStringLiteral(" (a new sub-portfolio)");
  return line;
}

}  // namespace

QString importDateFormText(core::ImportDateForm form) {
  const auto index = static_cast<std::size_t>(form);
  return index < std::size(kDateForms) ? QString::fromLatin1(kDateForms[index]) : QString();
}

QString importFoundText(const core::ImportFileInfo& info) {
  QString found = QStringLiteral("Found: ") + delimiterWord(info.delimiter) +
                  QStringLiteral(", decimal ") +
                  (info.decimal == ',' ? QStringLiteral("comma") : QStringLiteral("point"));
  // A date form is settled from the whole column, so a text that failed may not have one.
  if (info.date_form != core::ImportDateForm::kDetect)
    found += QStringLiteral(", ") + importDateFormText(info.date_form);
  if (info.header) found += QStringLiteral(", a header row");
  return found;
}

QStringList importSummaryLines(const core::ImportParse& parse, const core::ImportPlan& plan) {
  QStringList lines;
  if (!parse.ok || !plan.ok) {
    const core::ImportError& error = parse.ok ? plan.error : parse.error;
    lines << QStringLiteral("Can't import: ") + QString::fromStdString(error.text());
  } else {
    int created = 0;
    std::int64_t added = 0, replaced = 0, kept = 0;
    for (const core::ImportSymbolPlan& symbol : plan.symbols) {
      created += symbol.new_symbol ? 1 : 0;
      added += symbol.added;
      replaced += symbol.replaced;
      kept += symbol.kept;
    }
    lines << QStringLiteral("New symbols: %1, updated: %2; days added: %3, replaced: %4, kept: %5.")
                 .arg(created)
                 .arg(static_cast<int>(plan.symbols.size()) - created)
                 .arg(added)
                 .arg(replaced)
                 .arg(kept);
    for (const core::ImportSymbolPlan& symbol : plan.symbols) lines << symbolLine(symbol);
  }
  for (const std::string& note : parse.data.notes)
    lines << QStringLiteral("Note: ") + QString::fromStdString(note);
  for (const std::string& note : plan.notes)
    lines << QStringLiteral("Note: ") + QString::fromStdString(note);
  return lines;
}
