// Helpers of the GUI tests: a scripted prompter, isolated settings, and portfolios on disk.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "gui/shell/prompter.h"
#include "qdb/series.h"
#include "support/temp_dir.h"

class CSettingsStore;

namespace gui_test {

// Records every message, dialog and beep; answers from a script instead of showing windows.
class ScriptedPrompter : public Prompter {
 public:
  struct Message {
    QString text;
    Icon icon;
  };
  struct Dialog {
    QString title;
    QString text;  // the message of a CFixMasterDlg
    bool report = false;
  };

  ScriptedPrompter();
  ~ScriptedPrompter() override;

  Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons) override;
  int exec(QDialog& dialog) override;
  void beep() override { ++beeps; }

  // Decides each modal dialog's result; Accepted when unset.
  std::function<int(QDialog&)> onExec;
  std::vector<Message> messages;
  std::vector<Dialog> dialogs;
  int beeps = 0;

  QStringList messageTexts() const;

 private:
  Prompter* m_previous;
};

// A temporary configuration directory (XDG_CONFIG_HOME) and a settings store inside it.
class SettingsSandbox {
 public:
  SettingsSandbox();
  ~SettingsSandbox();
  CSettingsStore& store() { return *m_store; }
  const std::filesystem::path& dir() const { return m_dir.path(); }

 private:
  testing_support::TempDir m_dir;
  QByteArray m_previous;
  bool m_hadPrevious;
  std::unique_ptr<CSettingsStore> m_store;
};

struct SymbolSpec {
  int file_number;
  std::string symbol;
  std::string name;
  int quotes = 3;          // daily quotes from 01/04/00 on
  int record_length = 28;  // 20 leaves volume and open interest out
};

// Daily bars starting on 3 January 2000 (skipping no days), prices rising by 0.25 a day.
std::vector<qdb::QuoteBar> make_bars(int count);
// Creates a portfolio in dir holding the symbols (MASTER entries in the order given).
void make_portfolio(const std::filesystem::path& dir, const std::vector<SymbolSpec>& symbols);

}  // namespace gui_test
