#include "gui/browse/search_settings.h"

#include <QDir>

#include "core/roots.h"
#include "gui/base/path_text.h"

#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/browse/search_filter_dlg.h"

SearchSettings SearchSettings::load(const CSettingsStore& settings) {
  SearchSettings search;
  search.limitToFilter = settings.GetInt(setting_keys::kSearchLimit) != 0;
  search.autoRepair = settings.GetInt(setting_keys::kSearchMasterFix) != 0;
  search.filterPath = settings.GetString(setting_keys::kSearchName, QDir::currentPath());
  return search;
}

void SearchSettings::store(CSettingsStore& settings) const {
  settings.SetInt(setting_keys::kSearchLimit, limitToFilter ? 1 : 0);
  settings.SetString(setting_keys::kSearchName, filterPath);
  settings.SetInt(setting_keys::kSearchMasterFix, autoRepair ? 1 : 0);
}

bool SearchSettings::changesWalk(const SearchSettings& before) const {
  return limitToFilter != before.limitToFilter ||
         (limitToFilter && filterPath.toUpper() != before.filterPath.toUpper());
}

core::PortfolioFilter SearchSettings::filterFor(const QString& root,
                                                const QString& startRoot) const {
  const std::string path = toPathString(filterPath);
  bool limit = limitToFilter;
  if (limit && !startRoot.isEmpty() && root == startRoot)
    limit = !core::longest_root_for(path, {toPathString(startRoot)}).empty();
  return core::PortfolioFilter(limit, path);
}

bool editSearchSettings(QWidget* parent, const QStringList& rootEntries, SearchSettings& search,
                        CSettingsStore& settings) {
  CSearchFilterDlg dialog(rootEntries, parent);
  dialog.setLimit(search.limitToFilter ? 1 : 0);
  dialog.setFilterPath(search.filterPath);
  dialog.setAutoRepair(search.autoRepair ? 1 : 0);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return false;
  search.autoRepair = dialog.autoRepair() != 0;
  search.limitToFilter = dialog.limit() != 0;
  search.filterPath = dialog.filterPath();
  search.store(settings);
  return true;
}
