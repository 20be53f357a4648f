#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>

#include "gui/base/settings_store.h"
#include "gui/browse/fix_master_dlg.h"
#include "qdb/dates.h"
#include "support/portfolio_builder.h"

namespace gui_test {

namespace {

bool offers(Prompter::Buttons buttons, Prompter::Answer answer) {
  using A = Prompter::Answer;
  switch (buttons) {
    case Prompter::Buttons::Ok:
      return answer == A::Ok;
    case Prompter::Buttons::YesNo:
      return answer == A::Yes || answer == A::No;
    case Prompter::Buttons::OkCancel:
      return answer == A::Ok || answer == A::Cancel;
  }
  return false;
}

}  // namespace

ScriptedPrompter::ScriptedPrompter() : m_previous(Prompter::install(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
  Prompter::install(m_previous);
  if (!m_script.empty())
    ADD_FAILURE() << m_script.size() << " scripted answer(s) unused; the first is for a "
                  << (m_script.front().dialog ? "dialog" : "message box");
}

void ScriptedPrompter::expectMessage(Answer answer) { m_script.push_back({false, answer, {}}); }

void ScriptedPrompter::expectDialog(DialogScript script) {
  m_script.push_back({true, Answer::Ok, std::move(script)});
}

void ScriptedPrompter::expectDialog(int result) {
  expectDialog([result](QDialog&) { return result; });
}

Prompter::Answer ScriptedPrompter::message(QWidget*, const QString& text, Icon icon,
                                           Buttons buttons) {
  messages.push_back({text, icon, buttons});
  // Unscripted: the answer that changes least.
  const Answer refusal = buttons == Buttons::YesNo      ? Answer::No
                         : buttons == Buttons::OkCancel ? Answer::Cancel
                                                        : Answer::Ok;
  if (m_script.empty() || m_script.front().dialog) {
    ADD_FAILURE() << "unexpected message box: " << text.toStdString();
    return refusal;
  }
  const Answer answer = m_script.front().answer;
  m_script.pop_front();
  if (!offers(buttons, answer)) {
    ADD_FAILURE() << "the scripted answer is not a button of: " << text.toStdString();
    return refusal;
  }
  return answer;
}

int ScriptedPrompter::exec(QDialog& dialog) {
  Dialog record{dialog.windowTitle(), {}, false};
  if (auto* fix = qobject_cast<CFixMasterDlg*>(&dialog)) {
    record.text = fix->message();
    record.report = fix->form() == CFixMasterDlg::Form::Report;
  }
  dialogs.push_back(record);
  if (m_script.empty() || !m_script.front().dialog) {
    ADD_FAILURE() << "unexpected dialog: " << record.title.toStdString();
    return QDialog::Rejected;
  }
  const DialogScript script = std::move(m_script.front().script);
  m_script.pop_front();
  return script ? script(dialog) : int(QDialog::Accepted);
}

QStringList ScriptedPrompter::messageTexts() const {
  QStringList texts;
  for (const Message& m : messages) texts << m.text;
  return texts;
}

QStringList ScriptedPrompter::dialogTitles() const {
  QStringList titles;
  for (const Dialog& d : dialogs) titles << d.title;
  return titles;
}

int press_ok(QDialog& dialog) {
  dialog.setResult(QDialog::Rejected);
  auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ok"));
  if (ok == nullptr) {
    ADD_FAILURE() << "no OK button in " << dialog.windowTitle().toStdString();
    return QDialog::Rejected;
  }
  ok->click();
  return dialog.result();
}

SettingsSandbox::SettingsSandbox()
    : m_previous(qgetenv("XDG_CONFIG_HOME")),
      m_hadPrevious(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_dir.path().string()));
  m_store = std::make_unique<CSettingsStore>();
  m_store->OpenBaseKey();
}

SettingsSandbox::~SettingsSandbox() {
  m_store.reset();
  if (m_hadPrevious)
    qputenv("XDG_CONFIG_HOME", m_previous);
  else
    qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace gui_test
