// The portfolio search filter's settings ("Search"): whether a scan keeps to paths related to
// the filter path, the path as the user typed it, and whether a damaged MASTER is repaired
// without asking.
#pragma once

#include <QString>
#include <QStringList>

#include "core/portfolio_filter.h"

class QWidget;
class CSettingsStore;

struct SearchSettings {
  bool limitToFilter = true;
  QString filterPath;
  bool autoRepair = false;

  // Reads them; the filter path defaults to the current directory at this moment.
  static SearchSettings load(const CSettingsStore& settings);
  void store(CSettingsStore& settings) const;
  // True when a scan walks otherwise under these settings than under before: the limit
  // switched, or the path changed (other than in the case of its letters) while it is on.
  bool changesWalk(const SearchSettings& before) const;
  // The filter of a walk of root. The root named on the command line (startRoot) is never
  // hidden by the filter: its walk is narrowed only to a filter path inside it.
  core::PortfolioFilter filterFor(const QString& root, const QString& startRoot) const;
};

// The Search Filter command's dialog over search, with the roots' entries as the root list
// shows them. On OK the settings take the dialog's values and are stored; false on Cancel.
bool editSearchSettings(QWidget* parent, const QStringList& rootEntries, SearchSettings& search,
                        CSettingsStore& settings);
