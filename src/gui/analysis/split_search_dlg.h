// "Split Search": the modeless window that searches every symbol of one portfolio for
// consecutive quotes whose closes jump by a split ratio, lists the findings and saves them. A
// double-click on a finding asks for its symbol and day in the main window.
//
// The search runs one symbol at a time from a zero-length timer, so the window keeps
// painting, shows its progress and can be closed part-way.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include "core/split_search.h"
#include "core/symbol_rows.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

// The portfolio and symbols a press of "Search" works on, read from the browser at the press.
struct SplitSearchSource {
  std::string dir;                    // the portfolio directory searched
  std::vector<core::SymbolRow> rows;  // the symbols grid's rows, in its order
};

class CSplitSearchDlg : public QDialog {
  Q_OBJECT
 public:
  using SourceProvider = std::function<SplitSearchSource()>;

  explicit CSplitSearchDlg(SourceProvider source, QWidget* parent = nullptr);

  // "Search": starts a search of the source's symbols; its lines are appended to the list.
  void startSearch();
  // "Save As...": asks for a file (proposed "result") and writes every line, CR LF ended.
  void saveAs();
  bool isSearching() const { return m_searching; }
  // Names the portfolio searched in the title: "Split Search - <directory>".
  void setPortfolioTitle(const QString& directory);

  QString statusText() const;
  QStringList resultLines() const;
  QListWidget* resultList() const { return m_results; }
  QPushButton* searchButton() const { return m_search; }
  QPushButton* saveAsButton() const { return m_saveAs; }
  QPushButton* closeButton() const { return m_close; }
  QProgressBar* progressBar() const { return m_progress; }

  // Closing (Close, Escape, the window's close button) stops a running search.
  void done(int result) override;

 signals:
  // A search ended: after its last symbol, after a failed read, or when the window closed.
  void searchEnded();
  // A finding was double-clicked (or Enter pressed on it): the entry with fileNumber of the
  // portfolio in directory, and the later day of the pair.
  void resultActivated(const QString& directory, int fileNumber, qdb::DateSerial date);

 protected:
  // Centres the window on the screen as it opens.
  void showEvent(QShowEvent* event) override;

 private:
  void searchNextSymbol();
  void endSearch();
  void addResultLine(const QString& line);
  void onResultActivated(const QListWidgetItem* item);

  SourceProvider m_source;
  SplitSearchSource m_current;
  // The portfolio listed and its index files read once at the press of "Search"; shared with a
  // slice still running when the window closes during one of its messages.
  std::shared_ptr<const core::SplitSearchFiles> m_files;
  std::size_t m_next = 0;
  int m_linesFound = 0;
  qdb::DateSerial m_foundDate = 0;  // the day of the finding whose line comes next
  bool m_searching = false;
  QTimer m_slice;

  QLabel* m_status;
  QListWidget* m_results;
  QProgressBar* m_progress;
  QPushButton* m_search;
  QPushButton* m_saveAs;
  QPushButton* m_close;
};
