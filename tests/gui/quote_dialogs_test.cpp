// The quote commands' dialogs: titles, labels, group boxes, field limits and initial texts,
// the Edit dialog's steps through the days, and the Delete dialog's confirmation.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "gui/base/title_width.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/date_edit.h"
#include "gui/edit/delete_quote_dlg.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/split_dlg.h"
#include "gui_test_support.h"

namespace gui_test {
namespace {

// Grid rows newest first: date, open, high, low, close, volume, open interest.
class FakeRows : public QuoteRows {
 public:
  explicit FakeRows(std::vector<QStringList> rows) : m_rows(std::move(rows)) {}
  int rowCount() const override { return static_cast<int>(m_rows.size()); }
  QString text(int row, int column) const override {
    return m_rows[static_cast<std::size_t>(row)][column];
  }

 private:
  std::vector<QStringList> m_rows;
};

const FakeRows kThreeRows({{"01/05/00", "3.0000", "3.5000", "2.5000", "3.2500", "300", "N/A"},
                           {"01/04/00", "2.0000", "2.5000", "1.5000", "2.2500", "200", "N/A"},
                           {"01/03/00", "1.0000", "1.5000", "0.5000", "1.2500", "100", "N/A"}});

QStringList texts_of_labels(const QWidget& w) {
  QStringList texts;
  for (const QLabel* label : w.findChildren<QLabel*>()) texts << label->text();
  texts.sort();
  return texts;
}

QStringList group_titles(const QWidget& w) {
  QStringList titles;
  for (const QGroupBox* box : w.findChildren<QGroupBox*>()) titles << box->title();
  titles.sort();
  return titles;
}

// Field name, max length, initial text.
using Field = std::tuple<const char*, int, const char*>;

struct DialogCase {
  std::function<std::unique_ptr<QDialog>()> make;
  const char* title;
  QStringList groups;
  QStringList labels;  // every static text of the dialog, sorted
  std::vector<Field> fields;
};

TEST(QuoteDialogsTest, TitlesTextsLimitsAndInitialValues) {
  const DialogCase cases[] = {
      {[] { return std::make_unique<CEditQuoteDlg>(kThreeRows, 1); },
       "Edit Selected Quote",
       {""},
       {"01/04/00", "Close:", "Date:", "High:", "Low:", "Open Interest:", "Open:", "Volume:"},
       {{"open", 16, "2.0000"},
        {"high", 16, "2.5000"},
        {"low", 16, "1.5000"},
        {"close", 16, "2.2500"},
        {"volume", 16, "200"},
        {"openInterest", 16, "N/A"}}},
      {[] { return std::make_unique<CSplitDlg>(QStringLiteral("01/04/00")); },
       "Split Data",
       {"Ratios", "Split Date"},
       {"New Shares", "Old Shares"},
       {{"splitDate", 8, "01/04/00"}, {"newShares", 5, "1"}, {"oldShares", 5, "1"}}},
      {[] { return std::make_unique<CAdjustDlg>("01/02/98", "12/31/99"); },
       "Adjust Data",
       {"Dates", "Multipliers"},
       {"From:", "Open Interest", "Price", "To:", "Volume"},
       {{"fromDate", 8, "01/02/98"},
        {"toDate", 8, "12/31/99"},
        {"priceMultiplier", 8, "1"},
        {"volumeMultiplier", 8, "1"},
        {"openInterestMultiplier", 8, "1"}}},
      {[] { return std::make_unique<CDeleteQuoteDlg>(QStringLiteral("01/04/00")); },
       "Delete Data",
       {"Selected Date to Delete:"},
       {"01/04/00"},
       {}},
      {[] { return std::make_unique<CAddQuoteDlg>(QStringLiteral("12/31/99")); },
       "Add Data",
       {},
       {"12/31/99", "New Date:",
        "The new quote will be added using the same data as the following day. You may then "
        "edit it to suit."},
       {}},
  };
  for (const DialogCase& c : cases) {
    SCOPED_TRACE(c.title);
    const std::unique_ptr<QDialog> dialog = c.make();
    EXPECT_EQ(dialog->windowTitle(), c.title);
    EXPECT_EQ(group_titles(*dialog), c.groups);
    EXPECT_EQ(texts_of_labels(*dialog), c.labels);
    for (const auto& [name, length, text] : c.fields) {
      SCOPED_TRACE(name);
      const auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field->maxLength(), length);
      EXPECT_EQ(field->text(), text);
    }
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancel"));
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(cancel->text(), "Cancel");
    // Laid out from the font: every field gets at least its size hint.
    dialog->layout()->activate();
    for (const QWidget* w : dialog->findChildren<QWidget*>()) {
      if (w->isVisibleTo(dialog.get())) {
        EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className();
      }
    }
    // Shown, it is wide enough for its whole title.
    dialog->show();
    EXPECT_GE(dialog->width(), titleWidth(*dialog));
    dialog->hide();
  }
}

TEST(QuoteDialogsTest, TheFieldKindsOfEachDialog) {
  CSplitDlg split(QStringLiteral("01/04/00"));
  EXPECT_NE(qobject_cast<CDateEdit*>(split.dateEdit()), nullptr);
  CAdjustDlg adjust("01/02/98", "12/31/99");
  EXPECT_EQ(qobject_cast<CNumberEdit*>(adjust.openInterestEdit()), nullptr);
  // The open interest multiplier takes any character.
  adjust.openInterestEdit()->clear();
  QTest::keyClicks(adjust.openInterestEdit(), "x-1");
  EXPECT_EQ(adjust.openInterestEdit()->text(), "x-1");
}

struct StepCase {
  const char* name;
  int rows;
  int row;
  bool previous, next, first, last;
};

TEST(EditQuoteDlgTest, StepsAreEnabledWhereTheyLeadSomewhere) {
  const FakeRows one({{"01/03/00", "1", "1", "1", "1", "1", "1"}});
  const StepCase cases[] = {
      {"newest row", 3, 0, true, false, true, false},
      {"middle row", 3, 1, true, true, true, true},
      {"oldest row", 3, 2, false, true, false, true},
      {"only row", 1, 0, false, false, false, false},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(c.name);
    const CEditQuoteDlg dialog(c.rows == 1 ? static_cast<const QuoteRows&>(one) : kThreeRows,
                               c.row);
    EXPECT_EQ(dialog.previousButton()->isEnabled(), c.previous);
    EXPECT_EQ(dialog.nextButton()->isEnabled(), c.next);
    EXPECT_EQ(dialog.firstButton()->isEnabled(), c.first);
    EXPECT_EQ(dialog.lastButton()->isEnabled(), c.last);
  }
}

TEST(EditQuoteDlgTest, AStepShowsTheOtherDayAndDiscardsWhatWasTyped) {
  CEditQuoteDlg dialog(kThreeRows, 1);
  dialog.field(4)->selectAll();
  QTest::keyClicks(dialog.field(4), "999");
  EXPECT_FALSE(dialog.entry().fields[4].keep);

  dialog.nextButton()->click();  // the next later day
  EXPECT_EQ(dialog.row(), 0);
  EXPECT_EQ(dialog.dateText(), "01/05/00");
  EXPECT_EQ(dialog.field(4)->text(), "300");
  for (const core::EditField& field : dialog.entry().fields) EXPECT_TRUE(field.keep);

  dialog.firstButton()->click();
  EXPECT_EQ(dialog.dateText(), "01/03/00");
  dialog.previousButton()->click();  // already the oldest: the button is off
  EXPECT_EQ(dialog.row(), 2);
  dialog.lastButton()->click();
  EXPECT_EQ(dialog.dateText(), "01/05/00");
  EXPECT_EQ(dialog.entry().date_text, "01/05/00");
}

TEST(DeleteQuoteDlgTest, OkAsksAndNoKeepsTheDialogOpen) {
  ScriptedPrompter prompter;
  CDeleteQuoteDlg dialog(QStringLiteral("01/04/00"));
  prompter.expectMessage(Prompter::Answer::No);
  EXPECT_EQ(press_ok(dialog), QDialog::Rejected);
  EXPECT_FALSE(dialog.confirmed());
  prompter.expectMessage(Prompter::Answer::Yes);
  EXPECT_EQ(press_ok(dialog), QDialog::Accepted);
  EXPECT_TRUE(dialog.confirmed());
  const QString question = "You are about to delete the data for date\n01/04/00\nAre you sure?";
  EXPECT_EQ(prompter.messageTexts(), QStringList({question, question}));
}

}  // namespace
}  // namespace gui_test
