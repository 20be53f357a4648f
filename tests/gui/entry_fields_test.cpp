// The filtered fields of the quote dialogs: the date field's overtyping, selections, swallowed
// keys and beeps; the number field's filter; and pasted text filtered as typed text is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include <map>
#include <string>

#include "gui/edit/date_edit.h"
#include "gui/edit/number_edit.h"
#include "gui_test_support.h"

namespace gui_test {
namespace {

struct Selection {
  int start;
  int end;
  bool operator==(const Selection&) const = default;
};

Selection selection_of(const QLineEdit& edit) {
  if (!edit.hasSelectedText()) return {edit.cursorPosition(), edit.cursorPosition()};
  return {edit.selectionStart(), edit.selectionEnd()};
}

void select(QLineEdit& edit, Selection s) {
  if (s.start == s.end)
    edit.setCursorPosition(s.start);
  else
    edit.setSelection(s.start, s.end - s.start);
}

// Types text; "\b" stands for Backspace, "<" for Left, "h" for Home, "d" for Delete.
void type(QWidget& widget, const std::string& keys) {
  const std::map<char, Qt::Key> kSpecial = {
      {'\b', Qt::Key_Backspace}, {'<', Qt::Key_Left}, {'h', Qt::Key_Home}, {'d', Qt::Key_Delete}};
  for (char c : keys) {
    if (const auto special = kSpecial.find(c); special != kSpecial.end())
      QTest::keyClick(&widget, special->second);
    else
      QTest::keyClick(&widget, c);
  }
}

struct DateCase {
  const char* name;
  Selection before;
  std::string keys;
  const char* text;  // starting from 01/03/00
  Selection after;
  int beeps;
};

TEST(DateEditTest, DigitsOvertypeMonthDayAndYearInTurn) {
  const DateCase cases[] = {
      {"six digits over all", {0, 8}, "123199", "12/31/99", {0, 2}, 0},
      {"caret at start", {0, 0}, "5", "51/03/00", {1, 2}, 0},
      {"first month digit selected", {0, 1}, "5", "51/03/00", {1, 2}, 0},
      {"month selected", {0, 2}, "1", "11/03/00", {1, 2}, 0},
      {"second month digit", {1, 2}, "2", "02/03/00", {3, 5}, 0},
      {"day selected", {3, 5}, "2", "01/23/00", {4, 5}, 0},
      {"caret inside the day stores the first day digit", {4, 4}, "2", "01/23/00", {4, 5}, 0},
      {"second day digit", {4, 5}, "9", "01/09/00", {6, 8}, 0},
      {"year selected", {6, 8}, "9", "01/03/90", {7, 8}, 0},
      {"first year digit", {6, 7}, "9", "01/03/90", {7, 8}, 0},
      {"last year digit wraps to the month", {7, 8}, "9", "01/03/09", {0, 2}, 0},
      {"caret on a separator", {2, 2}, "7", "01/03/00", {0, 2}, 1},
      {"start 4 reselects the day", {4, 6}, "7", "01/03/00", {3, 5}, 1},
      {"start 7 reselects the year", {7, 7}, "7", "01/03/00", {6, 8}, 1},
      {"Backspace and marks beep", {3, 5}, "\b/a ", "01/03/00", {3, 5}, 4},
      {"cursor keys, Home and Delete are swallowed", {3, 5}, "<hd", "01/03/00", {3, 5}, 0},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPrompter prompter;
    CDateEdit edit;
    edit.setDate(QStringLiteral("01/03/00"));
    select(edit, c.before);
    type(edit, c.keys);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(selection_of(edit), c.after);
    EXPECT_EQ(prompter.beeps, c.beeps);
  }
}

TEST(DateEditTest, ACaretPlacedByTheMouseBetweenMonthAndDayChangesNothing) {
  ScriptedPrompter prompter;
  CDateEdit edit;
  edit.setDate(QStringLiteral("01/03/00"));
  edit.resize(200, edit.sizeHint().height());
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  const int y = edit.height() / 2;
  int x = 0;
  while (x < edit.width() && edit.cursorPositionAt(QPoint(x, y)) != 2) ++x;
  ASSERT_LT(x, edit.width());
  QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(x, y));
  ASSERT_EQ(selection_of(edit), (Selection{2, 2}));

  QTest::keyClick(&edit, '4');
  EXPECT_EQ(edit.text(), "01/03/00");
  EXPECT_EQ(selection_of(edit), (Selection{0, 2}));
  EXPECT_EQ(prompter.beeps, 1);
}

struct PasteCase {
  const char* name;
  const char* clipboard;
  const char* text;  // starting from 01/03/00, all selected
  Selection after;
  int beeps;
};

TEST(DateEditTest, APasteIsTakenAsTypedDigitsOrAWholeDateOrRefused) {
  const PasteCase cases[] = {
      {"digits", "1231", "12/31/00", {6, 8}, 0},
      {"a whole date", "07/04/99", "07/04/99", {0, 2}, 0},
      {"a date with a letter", "07/04/9x", "01/03/00", {0, 8}, 1},
      {"a date without separators' places", "7/4/1999", "01/03/00", {0, 8}, 1},
  };
  for (const PasteCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPrompter prompter;
    CDateEdit edit;
    edit.setDate(QStringLiteral("01/03/00"));
    edit.selectAll();
    QApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
    QTest::keySequence(&edit, QKeySequence::Paste);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(selection_of(edit), c.after);
    EXPECT_EQ(prompter.beeps, c.beeps);
  }
}

struct NumberCase {
  const char* name;
  std::string keys;
  const char* clipboard;  // pasted after the keys when not null
  const char* text;
  int beeps;
};

TEST(NumberEditTest, OnlyDigitsAndPointsGetIn) {
  const NumberCase cases[] = {
      {"a letter", "1a.5", nullptr, "1.5", 1},
      {"a sign", "-2", nullptr, "2", 1},
      {"comma and plus", "1,0+0", nullptr, "100", 2},
      {"several points", "1.2.3", nullptr, "1.2.3", 0},
      {"Backspace and cursor keys", "12\b<3", nullptr, "31", 0},
      {"a paste of a number", "1", "2.50", "12.50", 0},
      {"a paste with a letter", "1", "2e5", "1", 1},
      {"a paste with a sign", "1", "-5", "1", 1},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPrompter prompter;
    CNumberEdit edit;
    type(edit, c.keys);
    if (c.clipboard != nullptr) {
      QApplication::clipboard()->setText(QString::fromLatin1(c.clipboard));
      QTest::keySequence(&edit, QKeySequence::Paste);
    }
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(prompter.beeps, c.beeps);
  }
}

// A key with Alt or Ctrl is a command, never text: Alt+P and Alt+N (mnemonics of no button)
// put no "p" or "n" into the field, while the field's own Ctrl keys keep working.
TEST(NumberEditTest, KeysWithAltOrCtrlNeverInsertText) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;  // starting from "99.5", the caret at the end
  };
  const Case cases[] = {{Qt::Key_P, Qt::AltModifier, "99.5"},
                        {Qt::Key_N, Qt::AltModifier, "99.5"},
                        {Qt::Key_7, Qt::AltModifier, "99.5"},
                        {Qt::Key_N, Qt::ControlModifier, "99.5"},
                        {Qt::Key_P, Qt::ControlModifier | Qt::AltModifier, "99.5"}};
  for (const Case& c : cases) {
    ScriptedPrompter prompter;
    CNumberEdit edit;
    edit.setText("99.5");
    QTest::keyClick(&edit, c.key, c.modifiers);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.key << " " << c.modifiers;
    EXPECT_EQ(prompter.beeps, 0);
  }
  ScriptedPrompter prompter;
  CNumberEdit edit;
  edit.setText("99.5");
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(edit.selectedText(), "99.5");
}

// Opens the field's context menu and answers the shown menu's action whose text starts with
// QLineEdit's own text for it.
QAction* context_action(QLineEdit& edit, const char* text) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(&edit, &event);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* menu = qobject_cast<QMenu*>(w);
    if (menu == nullptr || !menu->isVisible()) continue;
    for (QAction* action : menu->actions()) {
      if (action->text().startsWith(QLineEdit::tr(text))) return action;
    }
  }
  return nullptr;
}

void close_menus() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMenu*>(w) != nullptr) w->close();
  }
}

// Puts text on the clipboard and pastes it through the field's context menu; false when the
// menu offers no Paste.
bool paste_from_menu(QLineEdit& edit, const char* text) {
  QApplication::clipboard()->setText(QString::fromLatin1(text));
  QAction* paste = context_action(edit, "&Paste");
  if (paste != nullptr) paste->trigger();
  close_menus();
  return paste != nullptr;
}

TEST(NumberEditTest, TheContextMenusPasteIsFilteredToo) {
  ScriptedPrompter prompter;
  CNumberEdit edit;
  edit.setText(QStringLiteral("7"));
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  ASSERT_TRUE(paste_from_menu(edit, "abc"));
  EXPECT_EQ(edit.text(), "7");
  EXPECT_EQ(prompter.beeps, 1);
}

TEST(NumberEditTest, ADropIsFilteredAndARefusedOneIsLeftToItsSource) {
  const struct {
    const char* dropped;
    const char* text;
    bool accepted;
  } cases[] = {{"25", "257", true}, {"2x", "7", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dropped);
    ScriptedPrompter prompter;
    CNumberEdit edit;
    edit.setText(QStringLiteral("7"));
    QMimeData data;
    data.setText(QString::fromLatin1(c.dropped));
    QDropEvent drop(QPointF(1, edit.height() / 2), Qt::CopyAction, &data, Qt::LeftButton, {});
    // Straight to the field, as the drag manager hands a drop to its target.
    static_cast<QObject&>(edit).event(&drop);
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(drop.isAccepted(), c.accepted);
    EXPECT_EQ(prompter.beeps, c.accepted ? 0 : 1);
  }
}

TEST(DateEditTest, TheContextMenuOffersNothingThatBreaksTheMask) {
  ScriptedPrompter prompter;
  CDateEdit edit;
  edit.setDate(QStringLiteral("01/03/00"));
  edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
  edit.selectAll();
  for (const char* text : {"Cu&t", "Delete", "&Undo"}) {
    SCOPED_TRACE(text);
    QAction* action = context_action(edit, text);
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isEnabled());
    close_menus();
  }
  ASSERT_TRUE(paste_from_menu(edit, "12/31/99"));
  EXPECT_EQ(edit.text(), "12/31/99");
  EXPECT_EQ(prompter.beeps, 0);
}

}  // namespace
}  // namespace gui_test
