// The "Portfolios" group of the browser view and its root/scan controller: the root list
// (drives, or root directories where the host has no drive letters), the portfolio list, and
// the walk of a root for portfolios under the "Searching for Master Files" window. A path
// may be typed in the root list, completed from the directories on disk; Enter walks it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QGroupBox>
#include <QStringList>

#include "core/portfolio_filter.h"

class QComboBox;
class QListWidget;
class CSearchProgressDlg;

class CPortfoliosPane : public QGroupBox {
  Q_OBJECT
 public:
  using RootsProvider = std::function<std::vector<std::string>()>;

  explicit CPortfoliosPane(QWidget* parent = nullptr);
  ~CPortfoliosPane() override;

  // The roots the root list offers (core::list_roots unless replaced, as tests do).
  void setRootsProvider(RootsProvider provider);
  // Fills the root list with the provider's roots and extraRoot (when not empty), sorted and
  // without duplicates, selecting none. Returns the roots listed.
  std::vector<std::string> listRoots(const QString& extraRoot);
  // The root to scan when the command line named none: the remembered root (the "Drive"
  // setting) when it is listed; else the listed root holding it, or the one holding the
  // current directory; else the last entry. Empty when the list is empty.
  QString chooseRoot(const QString& saved) const;
  // The root path of a root-list entry.
  QString rootAt(int index) const;
  // The root-list entries as shown ("[-c-]" on Windows).
  QStringList rootEntries() const;
  // The listed root that holds path best, or empty.
  QString rootHolding(const QString& path) const;
  // Selects root in the root list without announcing a root change.
  void selectRoot(const QString& root);

  // Walks root for portfolios with the progress window open and the wait cursor shown, then
  // beeps. Returns the directories found, sorted.
  QStringList scan(const QString& root, const core::PortfolioFilter& filter);
  // Lists the directories and selects the first without announcing a portfolio change.
  void setPortfolios(const QStringList& directories);
  // Selects directory in the list, when listed, without announcing a portfolio change.
  void selectPortfolio(const QString& directory);
  void clearPortfolios();
  // Lists directory (without a separator at its end) in its sorted place when it is not
  // listed yet, and selects it without announcing a portfolio change. Returns its row.
  int addPortfolio(const QString& directory);
  // The row listing directory (a trailing separator aside), or -1.
  int portfolioRow(const QString& directory) const;
  int portfolioCount() const;
  QString portfolioAt(int row) const;

  QComboBox* driveList() const { return m_driveList; }
  QListWidget* portfolioList() const { return m_portfolioList; }

 signals:
  // The user picked a root in the root list.
  void rootPicked(const QString& root);
  // The user picked a portfolio directory in the portfolio list.
  void portfolioPicked(const QString& directory);
  // The user typed a directory in the root list and pressed Enter: root is that directory,
  // existing, absolute and normalised, now listed and selected.
  void placeTyped(const QString& root);

 private:
  void onPortfolioSelectionChanged();
  // Enter in the root list's field: the typed directory is walked, or the user hears why not.
  void onPlaceEntered();

  RootsProvider m_rootsProvider;
  QComboBox* m_driveList;
  QListWidget* m_portfolioList;
  CSearchProgressDlg* m_progress = nullptr;  // exists only while a scan runs
};
