#include "gui/shell/dorvane_app.h"

#include "gui/browse/dorvane_view.h"
#include "gui/browse/settings_store.h"
#include "gui/shell/main_frame.h"

CDorvaneApp::CDorvaneApp(int& argc, char** argv) : QApplication(argc, argv) {
  setOrganizationName(QStringLiteral("Fenwold Software"));
  setApplicationName(QStringLiteral("Dorvane"));
  setApplicationDisplayName(QStringLiteral("Dorvane"));
#ifdef DORVANE_VERSION
  setApplicationVersion(QStringLiteral(DORVANE_VERSION));
#endif
}

CDorvaneApp::~CDorvaneApp() {
  // The window goes before the store it writes its column widths and placement to.
  m_frame.reset();
  m_settings.reset();
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
