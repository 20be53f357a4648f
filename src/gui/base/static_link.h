// CStaticLink: a text label that works as a hyperlink. Blue until visited, purple after,
// underlined, a hand cursor while the pointer is over it; a click opens the target through
// the desktop's URL handler. Tab reaches it like a button, and Enter or Space opens it.
#pragma once

#include <functional>

#include <QColor>
#include <QLabel>
#include <QTimer>
#include <QUrl>

// Which links were visited during this run. The application object owns one and installs it;
// without one a process-wide instance is used.
class CVisitedLinks {
 public:
  int emailVisited = 0;
  int webVisited = 0;

  // The installed registry, else the process-wide one.
  static CVisitedLinks& instance();
  // Installs links (nullptr goes back to the process-wide one); returns the previous one.
  static CVisitedLinks* install(CVisitedLinks* links);
};

class CStaticLink : public QLabel {
  Q_OBJECT
 public:
  using UrlOpener = std::function<bool(const QUrl&)>;

  static const QColor kUnvisitedColor;  // blue (0, 0, 255)
  static const QColor kVisitedColor;    // purple (128, 0, 128)
  // Pointer movement is ignored for this long after a click.
  static constexpr int kClickQuietMs = 1000;

  explicit CStaticLink(const QString& text, QWidget* parent = nullptr);

  // The target; empty means the label's own text.
  void setTarget(const QString& target) { m_target = target; }
  QString target() const { return m_target; }
  // The e-mail address this link opens with "mailto:" before it.
  void setEmailAddress(const QString& address) { m_emailAddress = address; }
  // The flag the link reads and sets (1 once visited); the owner points it at a flag that
  // lives as long as the run.
  void setVisitedFlag(int* flag);
  bool isVisited() const { return m_visited != nullptr && *m_visited == 1; }
  bool isJustClicked() const { return m_justClicked; }
  bool isHovered() const { return m_captured; }

  // What a click does: open the target, then mark visited; a target the desktop can't open
  // beeps and says so (Prompter).
  void click();

  // Replaces the desktop's URL handler (tests); returns the previous opener.
  static UrlOpener setUrlOpener(UrlOpener opener);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void applyColour();
  void setHovered(bool hovered);

  QString m_target;
  QString m_emailAddress;
  int* m_visited = nullptr;
  bool m_captured = false;
  bool m_justClicked = false;
  QTimer m_quiet;
};
