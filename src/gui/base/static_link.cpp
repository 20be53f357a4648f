#include "gui/base/static_link.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include "gui/base/prompter.h"

namespace {

CVisitedLinks* g_installedLinks = nullptr;

CStaticLink::UrlOpener& urlOpener() {
  static CStaticLink::UrlOpener opener = [](const QUrl& url) {
    return QDesktopServices::openUrl(url);
  };
  return opener;
}

}  // namespace

CVisitedLinks& CVisitedLinks::instance() {
  static CVisitedLinks processWide;
  return g_installedLinks ? *g_installedLinks : processWide;
}

CVisitedLinks* CVisitedLinks::install(CVisitedLinks* links) {
  CVisitedLinks* previous = g_installedLinks;
  g_installedLinks = links;
  return previous;
}

const QColor CStaticLink::kUnvisitedColor(0, 0, 255);
const QColor CStaticLink::kVisitedColor(128, 0, 128);

CStaticLink::CStaticLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setTextFormat(Qt::PlainText);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  m_quiet.setSingleShot(true);
  m_quiet.setInterval(kClickQuietMs);
  connect(&m_quiet, &QTimer::timeout, this, [this] { m_justClicked = false; });
  applyColour();
}

void CStaticLink::setVisitedFlag(int* flag) {
  m_visited = flag;
  applyColour();
}

CStaticLink::UrlOpener CStaticLink::setUrlOpener(UrlOpener opener) {
  UrlOpener previous = urlOpener();
  urlOpener() = std::move(opener);
  return previous;
}

void CStaticLink::applyColour() {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, isVisited() ? kVisitedColor : kUnvisitedColor);
  setPalette(colours);
}

void CStaticLink::setHovered(bool hovered) {
  m_captured = hovered;
  setCursor(hovered ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void CStaticLink::click() {
  if (m_target.isEmpty()) m_target = text();
  if (!m_emailAddress.isEmpty() && m_target == m_emailAddress)
    m_target = QStringLiteral("mailto:") + m_target;
  m_captured = false;
  m_justClicked = true;
  m_quiet.start();

  if (!urlOpener()(QUrl(m_target))) {
    Prompter& prompter = Prompter::instance();
    prompter.beep();
    prompter.message(window(), QStringLiteral("The desktop could not open %1.").arg(m_target),
                     Prompter::Icon::Warning);
    return;
  }
  if (m_visited != nullptr) *m_visited = 1;
  setCursor(Qt::ArrowCursor);
  applyColour();
  update();
}

void CStaticLink::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  if (m_justClicked) return;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside && !m_captured)
    setHovered(true);
  else if (!inside && m_captured)
    setHovered(false);
}

void CStaticLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (!m_justClicked && m_captured) setHovered(false);
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
}

void CStaticLink::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (event->modifiers() == Qt::NoModifier &&
      (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
    click();
    event->accept();
    return;
  }
  QLabel::keyPressEvent(event);
}

void CStaticLink::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  // The focus rectangle a button would show, around the link's text.
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect();
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
