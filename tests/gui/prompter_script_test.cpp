// The test prompter itself: answers in the order scripted, and a prompt nobody scripted, an
// answer that is not a button of the box, or an answer left unused fails the test.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>

#include "gui_test_support.h"

namespace gui_test {
namespace {

TEST(ScriptedPrompterTest, AnswersInOrderAndFailsOnWhatWasNotScripted) {
  {
    ScriptedPrompter prompter;
    prompter.expectMessage(Prompter::Answer::No);
    prompter.expectDialog([](QDialog& dialog) {
      dialog.setWindowTitle("filled");
      return int(QDialog::Rejected);
    });
    EXPECT_EQ(
        prompter.message(nullptr, "Sure?", Prompter::Icon::Question, Prompter::Buttons::YesNo),
        Prompter::Answer::No);
    QDialog dialog;
    EXPECT_EQ(prompter.exec(dialog), QDialog::Rejected);
    EXPECT_EQ(dialog.windowTitle(), "filled");
    EXPECT_EQ(prompter.messages.at(0).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(prompter.pending(), 0);
  }
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompter prompter;
        EXPECT_EQ(prompter.message(nullptr, "Surprise", Prompter::Icon::None,
                                   Prompter::Buttons::OkCancel),
                  Prompter::Answer::Cancel);
      },
      "unexpected message box: Surprise");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompter prompter;
        prompter.expectMessage(Prompter::Answer::Yes);
        prompter.message(nullptr, "Only OK", Prompter::Icon::None, Prompter::Buttons::Ok);
      },
      "not a button");
  EXPECT_NONFATAL_FAILURE(
      {
        ScriptedPrompter prompter;
        prompter.expectDialog(QDialog::Accepted);
      },
      "unused");
}

}  // namespace
}  // namespace gui_test
