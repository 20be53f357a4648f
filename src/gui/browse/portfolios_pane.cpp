#include "gui/browse/portfolios_pane.h"

#include <algorithm>

#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/discovery.h"
#include "core/roots.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/wait_cursor.h"
#include "gui/browse/search_progress_dlg.h"

CPortfoliosPane::CPortfoliosPane(QWidget* parent)
    : QGroupBox(QStringLiteral("Portfolios"), parent),
      m_rootsProvider(&core::list_roots),
      m_driveList(new QComboBox(this)),
      m_portfolioList(new QListWidget(this)) {
  // Editable, so a typed path is a place of its own rather than a search for the first
  // entry starting with the letters typed; directories complete as the path is typed.
  m_driveList->setEditable(true);
  m_driveList->setInsertPolicy(QComboBox::NoInsert);
  auto* directories = new QFileSystemModel(this);
  directories->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  directories->setRootPath(QString());
  auto* completer = new QCompleter(directories, this);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  m_driveList->setCompleter(completer);
  m_driveList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_driveList->setMinimumContentsLength(16);
  m_portfolioList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_portfolioList->setUniformItemSizes(true);

  auto* layout = new QVBoxLayout(this);
  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(m_driveList, 1);
  driveRow->addStretch(1);
  layout->addLayout(driveRow);
  layout->addWidget(m_portfolioList, 1);

  connect(m_driveList, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) emit rootPicked(rootAt(index));
  });
  connect(m_portfolioList, &QListWidget::itemSelectionChanged, this,
          &CPortfoliosPane::onPortfolioSelectionChanged);
  connect(m_driveList->lineEdit(), &QLineEdit::returnPressed, this,
          &CPortfoliosPane::onPlaceEntered);
}

void CPortfoliosPane::onPlaceEntered() {
  const QString typed = m_driveList->currentText().trimmed();
  if (typed.isEmpty()) return;
  // An entry of the list as shown stands for its own root.
  const int listed = m_driveList->findText(typed);
  if (listed >= 0) {
    selectRoot(rootAt(listed));
    emit placeTyped(rootAt(listed));
    return;
  }
  const QFileInfo place(expandHome(typed));
  if (!place.isAbsolute() || !place.isDir()) {
    Prompter::instance().message(window(), QStringLiteral("No such folder:\n") + typed,
                                 Prompter::Icon::Warning);
    return;
  }
  const QString root = fromPathString(
      core::normalize_walk_root(toPathString(QDir::cleanPath(place.absoluteFilePath()))));
  if (m_driveList->findData(root) < 0) {
    const QSignalBlocker blocker(m_driveList);
    m_driveList->addItem(rootEntryText(root), root);
  }
  selectRoot(root);
  emit placeTyped(root);
}

void CPortfoliosPane::selectPortfolio(const QString& directory) {
  const QList<QListWidgetItem*> found = m_portfolioList->findItems(directory, Qt::MatchExactly);
  if (found.isEmpty()) return;
  const QSignalBlocker blocker(m_portfolioList);
  m_portfolioList->setCurrentItem(found.first());
}

CPortfoliosPane::~CPortfoliosPane() { delete m_progress; }

void CPortfoliosPane::setRootsProvider(RootsProvider provider) {
  m_rootsProvider = std::move(provider);
}

std::vector<std::string> CPortfoliosPane::listRoots(const QString& extraRoot) {
  std::vector<std::string> roots = m_rootsProvider ? m_rootsProvider() : std::vector<std::string>{};
  if (!extraRoot.isEmpty()) roots.push_back(toPathString(extraRoot));
  std::sort(roots.begin(), roots.end());
  roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
  const QSignalBlocker blocker(m_driveList);
  m_driveList->clear();
  for (const std::string& root : roots) {
    const QString path = fromPathString(root);
    m_driveList->addItem(rootEntryText(path), path);
  }
  m_driveList->setCurrentIndex(-1);
  return roots;
}

QString CPortfoliosPane::chooseRoot(const QString& saved) const {
  if (m_driveList->count() == 0) return {};
  for (int i = 0; i < m_driveList->count(); ++i)
    if (rootMatchesSetting(rootAt(i), saved)) return rootAt(i);
  QString chosen;
  if (!saved.isEmpty()) chosen = rootHolding(saved);
  if (chosen.isEmpty()) chosen = rootHolding(QDir::currentPath());
  if (chosen.isEmpty()) chosen = rootAt(m_driveList->count() - 1);
  return chosen;
}

QString CPortfoliosPane::rootAt(int index) const { return m_driveList->itemData(index).toString(); }

QStringList CPortfoliosPane::rootEntries() const {
  QStringList entries;
  for (int i = 0; i < m_driveList->count(); ++i) entries << m_driveList->itemText(i);
  return entries;
}

QString CPortfoliosPane::rootHolding(const QString& path) const {
  std::vector<std::string> roots;
  for (int i = 0; i < m_driveList->count(); ++i) roots.push_back(toPathString(rootAt(i)));
  return fromPathString(core::longest_root_for(toPathString(path), roots));
}

void CPortfoliosPane::selectRoot(const QString& root) {
  const QSignalBlocker blocker(m_driveList);
  m_driveList->setCurrentIndex(m_driveList->findData(root));
}

QStringList CPortfoliosPane::scan(const QString& root, const core::PortfolioFilter& filter) {
  const CWaitCursor wait;
  m_progress = new CSearchProgressDlg(window());
  m_progress->start();
  std::vector<std::string> found = core::find_portfolios(toPathString(root), filter, m_progress);
  Prompter::instance().beep();
  delete m_progress;
  m_progress = nullptr;

  std::sort(found.begin(), found.end());
  QStringList directories;
  for (const std::string& directory : found) directories << fromPathString(directory);
  return directories;
}

void CPortfoliosPane::setPortfolios(const QStringList& directories) {
  const QSignalBlocker blocker(m_portfolioList);
  m_portfolioList->clear();
  m_portfolioList->addItems(directories);
  if (!directories.isEmpty()) m_portfolioList->setCurrentRow(0);
}

void CPortfoliosPane::clearPortfolios() {
  const QSignalBlocker blocker(m_portfolioList);
  m_portfolioList->clear();
}

namespace {

// Core names a portfolio with its separator at the end; the list without.
QString listedForm(const QString& directory) {
  QString listed = directory;
  while (listed.size() > 1 &&
         (listed.endsWith(QLatin1Char('/')) || listed.endsWith(QDir::separator())))
    listed.chop(1);
  return listed;
}

}  // namespace

int CPortfoliosPane::portfolioRow(const QString& directory) const {
  const QString wanted = listedForm(directory);
  for (int row = 0; row < m_portfolioList->count(); ++row)
    if (m_portfolioList->item(row)->text() == wanted) return row;
  return -1;
}

int CPortfoliosPane::addPortfolio(const QString& directory) {
  int row = portfolioRow(directory);
  const QSignalBlocker blocker(m_portfolioList);
  if (row < 0) {
    // The scan lists its directories sorted; a new one goes where the sort puts it.
    const QString listed = listedForm(directory);
    row = 0;
    while (row < m_portfolioList->count() && m_portfolioList->item(row)->text() < listed) ++row;
    m_portfolioList->insertItem(row, listed);
  }
  m_portfolioList->setCurrentRow(row);
  return row;
}

int CPortfoliosPane::portfolioCount() const { return m_portfolioList->count(); }

QString CPortfoliosPane::portfolioAt(int row) const {
  const QListWidgetItem* item = m_portfolioList->item(row);
  return item ? item->text() : QString();
}

void CPortfoliosPane::onPortfolioSelectionChanged() {
  const QList<QListWidgetItem*> selected = m_portfolioList->selectedItems();
  if (!selected.isEmpty()) emit portfolioPicked(selected.first()->text());
}
