// The browser view's portfolio level: the root chosen at start-up or in the root list, the
// walk of a root for portfolios, and the search filter that narrows the walk.
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/portfolios_pane.h"

void CDorvaneView::SelectSavedDrive() {
  if (m_portfolios->listRoots(m_startRoot).empty()) return;
  QString chosen = m_startRoot;
  if (chosen.isEmpty()) {
    chosen = m_portfolios->chooseRoot(m_settings.GetString(setting_keys::kDrive));
    m_settings.SetString(setting_keys::kDrive, rootSettingText(chosen));
  }
  m_state->setDrive(chosen);
  m_portfolios->selectRoot(chosen);
  ScanDrive();
}

void CDorvaneView::changeDrive(const QString& root) {
  if (root == m_state->drive()) return;
  m_state->setDrive(root);
  // A root named on the command line is scanned for this run only, never remembered.
  if (root != m_startRoot) m_settings.SetString(setting_keys::kDrive, rootSettingText(root));
  ClearFrom(1);
  ScanDrive();
}

void CDorvaneView::ScanDrive() {
  ClearFrom(2);
  const QString drive = m_state->drive();
  if (drive.isEmpty()) return;
  // A typed place, as the command line's root, is never hidden by the filter.
  const QString ownRoot = drive == m_typedRoot ? m_typedRoot : m_startRoot;
  const QStringList found = m_portfolios->scan(drive, m_search.filterFor(drive, ownRoot));
  m_state->setPortfoliosFound(!found.isEmpty());
  if (found.isEmpty()) {
    emit stateChanged();
    Prompter::instance().message(
        this,
        QStringLiteral("No master files found on drive ") + rootSettingText(drive) +
            QStringLiteral("\n\n(Is your Portfolio Search Filter setting correct?)"),
        Prompter::Icon::Warning);
    return;
  }
  m_portfolios->setPortfolios(found);
  // The portfolio shown last (before a rescan, or in the last run) comes back with its last
  // symbol when the scan found it again.
  QString chosen = found.first();
  const QString last = m_settings.GetString(setting_keys::kLastPortfolio);
  if (!last.isEmpty() && found.contains(last)) {
    chosen = last;
    m_portfolios->selectPortfolio(last);
    m_wantedSymbol =
        WantedSymbol{m_settings.GetInt(setting_keys::kLastFileNumber),
                     m_settings.GetString(setting_keys::kLastSymbol).toLatin1().toStdString()};
  }
  emit stateChanged();
  onPortfolioPicked(chosen);
}

void CDorvaneView::walkTypedPlace(const QString& root) {
  // Walked for this run only, as a root named on the command line: the remembered root stays.
  m_typedRoot = root;
  m_state->setDrive(root);
  ClearFrom(1);
  ScanDrive();
}

void CDorvaneView::OnRescan() {
  if (!m_state->drive().isEmpty()) ScanDrive();
}

void CDorvaneView::OnSearchFilter() {
  const SearchSettings before = m_search;
  if (!editSearchSettings(window(), m_portfolios->rootEntries(), m_search, m_settings)) return;
  if (!m_search.changesWalk(before)) return;
  // The longest listed root holding the filter path; a path under none (possible only with
  // the limit off) keeps the current root.
  QString root = m_portfolios->rootHolding(m_search.filterPath);
  if (root.isEmpty()) root = m_state->drive();
  if (root.isEmpty()) return;
  m_portfolios->selectRoot(root);
  m_state->setDrive(QString());  // never equal to a root, so the drive change always scans
  changeDrive(root);
}
