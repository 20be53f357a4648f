#include "gui/shell/dorvane_app.h"

#include <QIcon>

#include "core/version.h"
#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/shell/main_frame.h"

CDorvaneApp::CDorvaneApp(int& argc, char** argv)
    : QApplication(argc, argv), m_previousLinks(CVisitedLinks::install(&m_visitedLinks)) {
  configureApplication(*this);
}

void CDorvaneApp::configureApplication(QApplication& app) {
  QApplication::setOrganizationName(QStringLiteral("Fenwold Software"));
  QApplication::setApplicationName(QStringLiteral("Dorvane"));
  // No display name: on X11 Qt would append it to every window title.
  QApplication::setApplicationVersion(QString::fromLatin1(core::kVersion));
  app.setWindowIcon(applicationIcon());
}

QIcon CDorvaneApp::applicationIcon() {
  // The resources live in a static library: registered here, or the linker may drop them.
  Q_INIT_RESOURCE(dorvane);
  return QIcon(QStringLiteral(":/dorvane/dorvane.svg"));
}

CDorvaneApp::~CDorvaneApp() {
  // The window goes before the store it writes its column widths and placement to.
  m_frame.reset();
  m_settings.reset();
  CVisitedLinks::install(m_previousLinks);
}

bool CDorvaneApp::startUp(const QString& startRoot) {
  m_settings = std::make_unique<CSettingsStore>();
  bool newlyCreated = false;
  // Without a settings file every read gives its default and the program still runs.
  if (m_settings->OpenBaseKey(&newlyCreated) && newlyCreated) m_settings->ImportIniFile();

  m_frame = std::make_unique<CMainFrame>(*m_settings);
  if (!startRoot.isEmpty()) m_frame->view()->setStartRoot(startRoot);
  m_frame->setWindowTitle(QStringLiteral("Dorvane"));
  m_frame->show();
  return true;
}
