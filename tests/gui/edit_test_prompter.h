// A prompter for the quote command tests: answers come from a queue that the test fills
// before the action, in the order the prompts will come. A prompt with no answer queued, or of
// the other kind, fails the test; so does an answer left unused when the prompter goes.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>

#include <deque>
#include <functional>
#include <variant>
#include <vector>

#include "gui/shell/prompter.h"

namespace gui_test {

class EditTestPrompter : public Prompter {
 public:
  using DialogScript = std::function<int(QDialog&)>;

  EditTestPrompter() : m_previous(Prompter::install(this)) {}
  ~EditTestPrompter() override {
    Prompter::install(m_previous);
    EXPECT_TRUE(m_script.empty()) << m_script.size() << " scripted answer(s) left unused";
  }
  EditTestPrompter(const EditTestPrompter&) = delete;
  EditTestPrompter& operator=(const EditTestPrompter&) = delete;

  // The next prompt is a message box, answered with answer.
  void expect_message(Answer answer) { m_script.emplace_back(answer); }
  // The next prompt is a modal dialog: script fills it and returns its result.
  void expect_dialog(DialogScript script) { m_script.emplace_back(std::move(script)); }
  // The texts of the message boxes shown so far.
  const std::vector<QString>& messages() const { return m_messages; }
  // The titles of the dialogs run so far.
  const std::vector<QString>& dialogs() const { return m_dialogs; }
  int beeps() const { return m_beeps; }

  Answer message(QWidget*, const QString& text, Icon, Buttons) override {
    m_messages.push_back(text);
    if (m_script.empty() || !std::holds_alternative<Answer>(m_script.front())) {
      ADD_FAILURE() << "unexpected message: " << text.toStdString();
      return Answer::Cancel;
    }
    const Answer answer = std::get<Answer>(m_script.front());
    m_script.pop_front();
    return answer;
  }

  int exec(QDialog& dialog) override {
    m_dialogs.push_back(dialog.windowTitle());
    if (m_script.empty() || !std::holds_alternative<DialogScript>(m_script.front())) {
      ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
      return QDialog::Rejected;
    }
    const DialogScript script = std::get<DialogScript>(m_script.front());
    m_script.pop_front();
    return script(dialog);
  }

  void beep() override { ++m_beeps; }

 private:
  Prompter* m_previous;
  std::deque<std::variant<Answer, DialogScript>> m_script;
  std::vector<QString> m_messages;
  std::vector<QString> m_dialogs;
  int m_beeps = 0;
};

// Presses the dialog's OK button as the user would; the dialog's result afterwards (Rejected
// when its OK check kept it open).
inline int press_ok(QDialog& dialog) {
  dialog.setResult(QDialog::Rejected);
  auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ok"));
  if (ok == nullptr) {
    ADD_FAILURE() << "no OK button";
    return QDialog::Rejected;
  }
  ok->click();
  return dialog.result();
}

}  // namespace gui_test
