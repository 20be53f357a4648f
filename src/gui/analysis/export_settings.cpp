#include "gui/analysis/export_settings.h"

#include "gui/base/settings_store.h"

namespace {

const QString kSection = QStringLiteral("XportSel");

}  // namespace

core::ExportOptions loadExportOptions(const CSettingsStore& settings) {
  core::ExportOptions options;
  options.path =
      settings.GetString(kSection, QStringLiteral("Starter"), QStringLiteral("output.txt"))
          .toStdString();
  options.omit_open = settings.GetInt(kSection, QStringLiteral("OmitOpen"), 0) != 0;
  options.omit_high = settings.GetInt(kSection, QStringLiteral("OmitHigh"), 0) != 0;
  options.omit_low = settings.GetInt(kSection, QStringLiteral("OmitLow"), 0) != 0;
  options.omit_close = settings.GetInt(kSection, QStringLiteral("OmitClose"), 0) != 0;
  options.omit_volume = settings.GetInt(kSection, QStringLiteral("OmitVol"), 0) != 0;
  options.omit_oi = settings.GetInt(kSection, QStringLiteral("OmitOI"), 0) != 0;
  options.newest_first = settings.GetInt(kSection, QStringLiteral("Newest"), 0) == 1;
  options.delimiter = settings.GetInt(kSection, QStringLiteral("Delim"), 0);
  options.title = settings.GetInt(kSection, QStringLiteral("Title"), 0) != 0;
  const int form = settings.GetInt(kSection, QString::fromLatin1(core::kExportDateFormKey), 0);
  if (form >= static_cast<int>(core::ExportDateForm::kMdy2) &&
      form <= static_cast<int>(core::ExportDateForm::kYmd))
    options.date_form = static_cast<core::ExportDateForm>(form);
  options.time = settings.GetInt(kSection, QString::fromLatin1(core::kExportTimeKey), 0) != 0;
  return options;
}

void saveExportOptions(CSettingsStore& settings, const core::ExportOptions& options) {
  settings.SetString(kSection, QStringLiteral("Starter"), QString::fromStdString(options.path));
  settings.SetInt(kSection, QStringLiteral("OmitOpen"), options.omit_open ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("OmitHigh"), options.omit_high ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("OmitLow"), options.omit_low ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("OmitClose"), options.omit_close ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("OmitVol"), options.omit_volume ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("OmitOI"), options.omit_oi ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("Delim"), options.delimiter);
  settings.SetInt(kSection, QStringLiteral("Newest"), options.newest_first ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("Title"), options.title ? 1 : 0);
  settings.SetInt(kSection, QString::fromLatin1(core::kExportDateFormKey),
                  static_cast<int>(options.date_form));
  settings.SetInt(kSection, QString::fromLatin1(core::kExportTimeKey), options.time ? 1 : 0);
}
