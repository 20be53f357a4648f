#include "gui/browse/search_progress_dlg.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

CSearchProgressDlg::CSearchProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_path(new QLabel(this)),
      m_counter(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Searching for Master Files"));
  setModal(false);

  m_path->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_path->setTextFormat(Qt::PlainText);
  // A long path must not widen the window: it is cut at the window's edge.
  m_path->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
  m_path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  m_counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_counter->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")));

  auto* layout = new QGridLayout(this);
  layout->addWidget(m_path, 0, 0, 1, 3);
  layout->setRowMinimumHeight(1, fontMetrics().height());
  layout->addWidget(new QLabel(QStringLiteral("Number of Master files found:"), this), 2, 1);
  layout->addWidget(m_counter, 2, 2);
  layout->setColumnStretch(0, 1);
  layout->setColumnStretch(1, 0);
  layout->setColumnStretch(2, 1);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CSearchProgressDlg::start() {
  m_found = 0;
  m_pathText = "starting...";
  m_path->setText(QString::fromStdString(m_pathText));
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

void CSearchProgressDlg::portfolio_found(const std::string&, int found_count) {
  m_found = found_count;
  refresh(false);
}

QString CSearchProgressDlg::pathText() const { return m_path->text(); }

QString CSearchProgressDlg::counterText() const { return m_counter->text(); }

void CSearchProgressDlg::refresh(bool force) {
  if (!force && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < 1000 / kRepaintsPerSecond)
    return;
  m_sinceRepaint.start();
  m_path->setText(QString::fromStdString(m_pathText));
  m_counter->setText(QString::number(m_found));
  ++m_repaints;
  if (isVisible()) {
    repaint();
    // The walk runs on the UI thread: let the window system map and expose this window, but
    // take no user input until the walk is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}
