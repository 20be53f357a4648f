#include "gui/base/help_window.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/base/help.h"

CHelpWindow::CHelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window),
      m_browser(new QTextBrowser(this)),
      m_back(new QToolButton(this)),
      m_forward(new QToolButton(this)),
      m_contents(new QToolButton(this)) {
  setWindowTitle(QStringLiteral("Dorvane Help"));
  setAttribute(Qt::WA_DeleteOnClose);
  m_back->setText(QStringLiteral("< Back"));
  m_forward->setText(QStringLiteral("Forward >"));
  m_contents->setText(QStringLiteral("Contents"));
  m_back->setEnabled(false);
  m_forward->setEnabled(false);
  // Links between topics stay in this window; a link leaving the manual opens nothing.
  m_browser->setOpenLinks(true);
  m_browser->setOpenExternalLinks(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_back);
  buttons->addWidget(m_forward);
  buttons->addWidget(m_contents);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(m_browser, 1);

  connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
  connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
  connect(m_contents, &QToolButton::clicked, this, [this] { showPage(helpPath()); });
  connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);

  // Ctrl+W closes the window, and so does the platform's own Close key where it is another
  // (Ctrl+F4); a key given twice would be ambiguous and do nothing. Esc: keyPressEvent.
  QList<QKeySequence> closeKeys{QKeySequence(QStringLiteral("Ctrl+W"))};
  for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Close))
    if (!closeKeys.contains(key)) closeKeys << key;
  for (const QKeySequence& key : closeKeys) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, &QWidget::close);
  }

  const QFontMetrics metrics = fontMetrics();
  resize(metrics.averageCharWidth() * 90, metrics.height() * 36);
}

void CHelpWindow::showPage(const QString& page) {
  const QUrl url = QUrl::fromLocalFile(page);
  if (m_browser->source() != url) m_browser->setSource(url);
  show();
  // Placed once shown, when the window has its final size.
  if (!m_placed) placeOverMainWindow();
  raise();
  activateWindow();
}

QString CHelpWindow::pagePath() const { return m_browser->source().toLocalFile(); }

void CHelpWindow::placeOverMainWindow() {
  m_placed = true;
  QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
  while (main && main->parentWidget()) main = main->parentWidget()->window();
  if (!main) return;
  QRect frame(QPoint(0, 0), size());
  frame.moveCenter(main->frameGeometry().center());
  if (const QScreen* screen = main->screen()) {
    const QRect area = screen->availableGeometry();
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height())));
  }
  move(frame.topLeft());
}

void CHelpWindow::keyPressEvent(QKeyEvent* event) {
  // Esc, which the page leaves alone, closes the window as it closes a dialog.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}
