// "Dorvane Help": the manual's pages in a browser of their own, with links between topics,
// Back, Forward and Contents. It belongs to the window it was opened from, so it takes input
// beside that window's modal dialogs and closes with it. It opens centred over the main
// window (kept on its screen), and Esc or Ctrl+W closes it.
#pragma once

#include <QWidget>

class QTextBrowser;
class QToolButton;

class CHelpWindow : public QWidget {
  Q_OBJECT
 public:
  // A window of its own, owned by owner (may be null).
  explicit CHelpWindow(QWidget* owner = nullptr);

  // Shows the page (a file of the manual) and raises the window.
  void showPage(const QString& page);
  // The file of the page shown.
  QString pagePath() const;

  QTextBrowser* browser() const { return m_browser; }
  QToolButton* backButton() const { return m_back; }
  QToolButton* forwardButton() const { return m_forward; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Centres the window over the top window of its owner's chain, inside that screen.
  void placeOverMainWindow();

  bool m_placed = false;
  QTextBrowser* m_browser;
  QToolButton* m_back;
  QToolButton* m_forward;
  QToolButton* m_contents;
};
