// The application: owns the settings store and the About box's visited links for the whole
// run, and starts the main window.
#pragma once

#include <memory>

#include <QApplication>
#include <QString>

#include "gui/base/static_link.h"

class CMainFrame;
class CSettingsStore;

class CDorvaneApp : public QApplication {
  Q_OBJECT
 public:
  CDorvaneApp(int& argc, char** argv);
  ~CDorvaneApp() override;

  // The application's names, version and window icon, as the constructor sets them.
  static void configureApplication(QApplication& app);
  // The program's scalable icon, from the resources.
  static QIcon applicationIcon();

  // Opens the settings (importing the legacy INI file on the very first run), creates the
  // main window and shows it. startRoot, when not empty, is scanned instead of the remembered
  // root.
  bool startUp(const QString& startRoot);

  CSettingsStore& settings() { return *m_settings; }
  CMainFrame* mainFrame() const { return m_frame.get(); }

 private:
  CVisitedLinks m_visitedLinks;  // installed while the application lives
  CVisitedLinks* m_previousLinks;
  std::unique_ptr<CSettingsStore> m_settings;
  std::unique_ptr<CMainFrame> m_frame;
};
