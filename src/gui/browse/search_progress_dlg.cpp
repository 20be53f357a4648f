#include "gui/browse/search_progress_dlg.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "gui/base/path_text.h"

CSearchProgressDlg::CSearchProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_path(new QLabel(this)),
      m_counter(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Searching for Master Files"));
  setModal(false);

  auto* label = new QLabel(QStringLiteral("Number of Master files found:"), this);
  label->setObjectName(QStringLiteral("foundLabel"));
  label->setMinimumSize(label->sizeHint());
  m_path->setObjectName(QStringLiteral("pathText"));
  m_path->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_path->setTextFormat(Qt::PlainText);
  m_path->setMinimumHeight(m_path->fontMetrics().height());
  // A long path must not widen the window: its middle gives way (see showPath).
  m_path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  m_counter->setObjectName(QStringLiteral("counterText"));
  m_counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_counter->setMinimumWidth(m_counter->fontMetrics().horizontalAdvance(QStringLiteral("000000")));
  m_counter->setMinimumHeight(m_counter->fontMetrics().height());

  auto* layout = new QGridLayout(this);
  layout->addWidget(m_path, 0, 0, 1, 3);
  layout->setRowMinimumHeight(1, fontMetrics().height());
  layout->addWidget(label, 2, 1);
  layout->addWidget(m_counter, 2, 2);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 0);
  layout->setColumnStretch(2, 1);

  // Wide enough for the path line, the label with its counter, and the title beside the
  // window manager's buttons (room for about four more title characters each).
  const QFontMetrics titleMetrics(QApplication::font("QMdiSubWindowTitleBar"));
  const int titleWidth = titleMetrics.horizontalAdvance(windowTitle()) +
                         8 * titleMetrics.averageCharWidth() + 3 * titleMetrics.height();
  const int labelsWidth = label->sizeHint().width() + m_counter->minimumWidth() +
                          2 * layout->horizontalSpacing() + layout->contentsMargins().left() +
                          layout->contentsMargins().right();
  setFixedWidth(std::max({fontMetrics().averageCharWidth() * 60, labelsWidth, titleWidth}));
  setFixedHeight(layout->minimumSize().height());
}

void CSearchProgressDlg::start() {
  m_found = 0;
  m_pathText = "starting...";
  showPath();
  m_counter->setText(QStringLiteral("0"));
  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
  }
  show();
  refresh(true);
}

void CSearchProgressDlg::directory_visited(const std::string& directory) {
  m_pathText = directory;
  refresh(false);
}

void CSearchProgressDlg::portfolio_found(const std::string&, int foundCount) {
  m_found = foundCount;
  refresh(false);
}

QString CSearchProgressDlg::pathText() const { return m_path->text(); }

QString CSearchProgressDlg::counterText() const { return m_counter->text(); }

void CSearchProgressDlg::refresh(bool force) {
  if (!force && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < 1000 / kRepaintsPerSecond)
    return;
  m_sinceRepaint.start();
  showPath();
  m_counter->setText(QString::number(m_found));
  ++m_repaints;
  if (isVisible()) {
    repaint();
    // The walk runs on the UI thread: let the window system map and expose this window, but
    // take no user input until the walk is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

void CSearchProgressDlg::showPath() {
  // The start and the end of a path say most about it: the middle is elided to the line's
  // width.
  const int room =
      m_path->width() > 0 && m_path->isVisible()
          ? m_path->contentsRect().width()
          : width() - layout()->contentsMargins().left() - layout()->contentsMargins().right();
  m_path->setText(
      m_path->fontMetrics().elidedText(fromPathString(m_pathText), Qt::ElideMiddle, room));
}
