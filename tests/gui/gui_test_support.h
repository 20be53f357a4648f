// Helpers of the GUI tests: a scripted prompter, isolated settings, and portfolios on disk.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "gui/base/prompter.h"
#include "qdb/series.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

class CSettingsStore;

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace gui_test {

// Answers every message box and modal dialog from a script that the test writes before the
// action, and records what was shown. A prompt the script does not expect, an answer that is
// not one of the box's buttons, or a scripted answer left unused when the prompter goes (at
// the test's end) fails the test.
class ScriptedPrompter : public Prompter {
 public:
  // Fills a dialog's fields (or only looks at it) and returns its result (QDialog::Accepted
  // or Rejected).
  using DialogScript = std::function<int(QDialog&)>;
  struct Message {
    QString text;
    Icon icon;
    Buttons buttons;
  };
  struct Dialog {
    QString title;
    QString text;  // the message of a CFixMasterDlg
    bool report = false;
  };

  ScriptedPrompter();
  ~ScriptedPrompter() override;

  // The next prompt is a message box, answered with answer.
  void expectMessage(Answer answer = Answer::Ok);
  // The next prompt is a modal dialog, run through script.
  void expectDialog(DialogScript script);
  // The next prompt is a modal dialog, closed with result and its fields untouched.
  void expectDialog(int result);
  // Scripted answers not used yet.
  int pending() const { return static_cast<int>(m_script.size()); }

  Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons) override;
  int exec(QDialog& dialog) override;
  void beep() override { ++beeps; }

  std::vector<Message> messages;
  std::vector<Dialog> dialogs;
  int beeps = 0;

  // The texts of the message boxes shown so far, in order.
  QStringList messageTexts() const;
  // The titles of the dialogs run so far, in order.
  QStringList dialogTitles() const;

 private:
  struct Step {
    bool dialog = false;
    Answer answer = Answer::Ok;
    DialogScript script;
  };
  std::deque<Step> m_script;
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

// Presses the dialog's OK button (object name "ok") as the user would; returns the dialog's
// result afterwards, Rejected when its OK check kept it open.
int press_ok(QDialog& dialog);

using testing_support::daily_bars;
using testing_support::make_portfolio;

}  // namespace gui_test
