// A main window over a temporary tree of portfolios, with isolated settings and a scripted
// prompter: the setting of most GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include <QDialog>
#include <QListWidget>
#include <QtTest/QTest>

#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/shell/main_frame.h"
#include "gui_test_support.h"

namespace gui_test {

class BrowserFixture : public testing::Test {
 protected:
  // The tree's root directory (the only root the view lists).
  std::filesystem::path root() const { return m_tree.path(); }
  QString rootText() const { return QString::fromStdString(m_tree.path().string()); }

  // Builds the main window listing only the tree's root, with the filter's limit off unless
  // the test stored settings of its own first.
  void createFrame() {
    if (settings().GetString("Search", "Limit", "").isEmpty())
      settings().SetInt("Search", "Limit", 0);
    frame = std::make_unique<CMainFrame>(settings());
    const std::string rootPath = m_tree.path().string();
    frame->view()->setRootsProvider([rootPath] { return std::vector<std::string>{rootPath}; });
    settings().SetString("Settings", "Drive", rootText());
  }

  // Shows the window and waits for the start-up that follows its first paint.
  void startUp() {
    if (!frame) createFrame();
    frame->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return view()->startUpDone(); }, 5000));
  }

  CDorvaneView* view() const { return frame->view(); }
  CSettingsStore& settings() { return m_settings.store(); }

  QStringList portfolioEntries() const {
    QStringList entries;
    for (int i = 0; i < view()->portfolioList()->count(); ++i)
      entries << view()->portfolioList()->item(i)->text();
    return entries;
  }

  QString path(const std::string& relative) const {
    return QString::fromStdString((m_tree.path() / relative).string());
  }

  SettingsSandbox m_settings;
  ScriptedPrompter prompter;
  testing_support::TempDir m_tree;
  std::unique_ptr<CMainFrame> frame;
};

}  // namespace gui_test
