#include "gui/analysis/export_settings.h"

#include <QDir>

#include "gui/base/settings_store.h"

core::ExportOptions loadExportOptions(const CSettingsStore& settings) {
  core::ExportOptions options;
  options.path = settings.GetString(setting_keys::kExportStarter).toStdString();
  options.omit_open = settings.GetInt(setting_keys::kExportOmitOpen) != 0;
  options.omit_high = settings.GetInt(setting_keys::kExportOmitHigh) != 0;
  options.omit_low = settings.GetInt(setting_keys::kExportOmitLow) != 0;
  options.omit_close = settings.GetInt(setting_keys::kExportOmitClose) != 0;
  options.omit_volume = settings.GetInt(setting_keys::kExportOmitVol) != 0;
  options.omit_oi = settings.GetInt(setting_keys::kExportOmitOI) != 0;
  options.newest_first = settings.GetInt(setting_keys::kExportNewest) == 1;
  options.delimiter = settings.GetInt(setting_keys::kExportDelim);
  options.title = settings.GetInt(setting_keys::kExportTitle) != 0;
  const int form = settings.GetInt(setting_keys::kExportDateForm);
  if (form >= static_cast<int>(core::ExportDateForm::kMdy2) &&
      form <= static_cast<int>(core::ExportDateForm::kYmd))
    options.date_form = static_cast<core::ExportDateForm>(form);
  options.time = settings.GetInt(setting_keys::kExportTime) != 0;
  return options;
}

void saveExportOptions(CSettingsStore& settings, const core::ExportOptions& options) {
  settings.SetString(setting_keys::kExportStarter, QString::fromStdString(options.path));
  settings.SetInt(setting_keys::kExportOmitOpen, options.omit_open ? 1 : 0);
  settings.SetInt(setting_keys::kExportOmitHigh, options.omit_high ? 1 : 0);
  settings.SetInt(setting_keys::kExportOmitLow, options.omit_low ? 1 : 0);
  settings.SetInt(setting_keys::kExportOmitClose, options.omit_close ? 1 : 0);
  settings.SetInt(setting_keys::kExportOmitVol, options.omit_volume ? 1 : 0);
  settings.SetInt(setting_keys::kExportOmitOI, options.omit_oi ? 1 : 0);
  settings.SetInt(setting_keys::kExportDelim, options.delimiter);
  settings.SetInt(setting_keys::kExportNewest, options.newest_first ? 1 : 0);
  settings.SetInt(setting_keys::kExportTitle, options.title ? 1 : 0);
  settings.SetInt(setting_keys::kExportDateForm, static_cast<int>(options.date_form));
  settings.SetInt(setting_keys::kExportTime, options.time ? 1 : 0);
}

ExportAllTarget loadExportAllTarget(const CSettingsStore& settings) {
  ExportAllTarget target;
  // The default folder depends on the user, so it is passed here rather than named once.
  target.path = settings.GetString(setting_keys::kExportAllTarget,
                                   QDir::home().filePath(QStringLiteral("export")));
  target.single = settings.GetInt(setting_keys::kExportAllSingle) != 0;
  return target;
}

void saveExportAllTarget(CSettingsStore& settings, const ExportAllTarget& target) {
  settings.SetString(setting_keys::kExportAllTarget, target.path);
  settings.SetInt(setting_keys::kExportAllSingle, target.single ? 1 : 0);
}
