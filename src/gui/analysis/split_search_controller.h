// The Portfolio menu's Split Search command: keeps the one modeless Split Search window and
// the view's "split search open" flag, which disables Split Search and Symbol Edit.
#pragma once

#include <QObject>
#include <QPointer>

#include "gui/analysis/split_search_dlg.h"

class CSplitSearchController : public QObject {
  Q_OBJECT
 public:
  explicit CSplitSearchController(QObject* parent = nullptr);
  ~CSplitSearchController() override;

  // Opens the window owned by frame, reading the portfolio and rows through source at each
  // press of "Search"; a directory given is named in the window's title. While one is open,
  // it is brought to the front instead.
  void open(QWidget* frame, CSplitSearchDlg::SourceProvider source,
            const QString& directory = QString());
  // True from open() until the window is closed.
  bool isOpen() const { return !m_window.isNull(); }
  CSplitSearchDlg* window() const { return m_window.data(); }

 signals:
  // The window opened or closed: the frame recomputes the command states.
  void openChanged(bool open);
  // A finding of the window was double-clicked: its portfolio, entry and day.
  void resultActivated(const QString& directory, int fileNumber, qdb::DateSerial date);

 private:
  QPointer<CSplitSearchDlg> m_window;
};
