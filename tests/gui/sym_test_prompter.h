// A prompter for tests that answers from a queue: each message box and modal dialog takes the
// next scripted answer, and one that finds none, or finds an answer of the other kind, fails
// the test. Answers left over at the end fail it too. Beeps are counted.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <variant>

#include <QDialog>
#include <QStringList>

#include "gui/shell/prompter.h"

class SymTestPrompter : public Prompter {
 public:
  using DialogScript = std::function<int(QDialog&)>;

  SymTestPrompter() : m_previous(Prompter::install(this)) {}
  ~SymTestPrompter() override {
    Prompter::install(m_previous);
    EXPECT_TRUE(m_script.empty()) << m_script.size() << " scripted answer(s) never asked for";
  }
  SymTestPrompter(const SymTestPrompter&) = delete;
  SymTestPrompter& operator=(const SymTestPrompter&) = delete;

  // The next message box is answered with answer.
  void expect_message(Answer answer) { m_script.emplace_back(answer); }
  // The next modal dialog runs script, which may fill it and press its buttons, and returns
  // its result (QDialog::Accepted or Rejected).
  void expect_dialog(DialogScript script) { m_script.emplace_back(std::move(script)); }

  // The texts of every message box shown, in order.
  const QStringList& messages() const { return m_messages; }
  // The buttons of every message box shown, in order.
  const std::vector<Buttons>& buttons() const { return m_buttons; }
  // The captions of every dialog run, in order.
  const QStringList& dialogs() const { return m_dialogs; }
  int beeps() const { return m_beeps; }

  Answer message(QWidget*, const QString& text, Icon, Buttons buttons) override {
    m_messages << text;
    m_buttons.push_back(buttons);
    if (m_script.empty() || !std::holds_alternative<Answer>(m_script.front())) {
      ADD_FAILURE() << "unexpected message: " << text.toStdString();
      return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
    const Answer answer = std::get<Answer>(m_script.front());
    m_script.pop_front();
    return answer;
  }

  int exec(QDialog& dialog) override {
    m_dialogs << dialog.windowTitle();
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
  QStringList m_messages;
  std::vector<Buttons> m_buttons;
  QStringList m_dialogs;
  int m_beeps = 0;
};
