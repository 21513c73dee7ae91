#include "platform/uikit/text_field.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

using uikit::TextField;

struct Edit {
  int location;
  int length;
  QString replacement;
  friend bool operator==(const Edit&, const Edit&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Edit& edit) {
    return out << edit.location << "+" << edit.length << " \"" << edit.replacement.toStdString() << "\"";
  }
};

// Records what the field asked and answers as told.
struct Recorder : uikit::TextFieldDelegate {
  bool allowBegin = true;
  bool allowChange = true;
  std::vector<Edit> edits;
  std::vector<std::string> events;

  bool textFieldShouldBeginEditing(TextField&) override {
    events.push_back("should begin");
    return allowBegin;
  }
  void textFieldDidBeginEditing(TextField&) override { events.push_back("did begin"); }
  bool textFieldShouldChangeCharactersInRange(TextField&, int location, int length, const QString& text) override {
    edits.push_back({location, length, text});
    return allowChange;
  }
  bool textFieldShouldReturn(TextField&) override {
    events.push_back("should return");
    return true;
  }
  void textFieldDidEndEditing(TextField&) override { events.push_back("did end"); }
};

class TextFieldTest : public testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&m_window);
    m_field = new TextField(&m_window);
    m_other = new TextField(&m_window);
    layout->addWidget(m_field);
    layout->addWidget(m_other);
    m_field->setDelegate(&m_recorder);
    m_window.resize(320, 100);
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
  }

  // Puts text into the field as the user would, then forgets what was asked.
  void typeIntoFocusedField(const QString& text) {
    m_field->setFocus();
    QTest::keyClicks(m_field, text);
    m_recorder.edits.clear();
  }

  void commit(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(m_field, &event);
  }

  QWidget m_window;
  TextField* m_field = nullptr;
  TextField* m_other = nullptr;
  Recorder m_recorder;
};

TEST_F(TextFieldTest, EveryEditIsOfferedWithItsRangeAndReplacement) {
  EXPECT_TRUE(m_recorder.events.empty()) << "showing the window begins no editing";
  EXPECT_FALSE(m_field->hasFocus());
  m_field->setFocus();
  QTest::keyClicks(m_field, "abcd");
  EXPECT_EQ(m_recorder.edits, (std::vector<Edit>{{0, 0, "a"}, {1, 0, "b"}, {2, 0, "c"}, {3, 0, "d"}}));

  m_recorder.edits.clear();
  m_field->setCursorPosition(2);
  QTest::keyClick(m_field, Qt::Key_Backspace);
  QTest::keyClick(m_field, Qt::Key_Delete);
  EXPECT_EQ(m_recorder.edits, (std::vector<Edit>{{1, 1, ""}, {1, 1, ""}}));
  EXPECT_EQ(m_field->text(), "ad");

  // Typing into a run of equal letters still names the place of the cursor.
  m_field->setText("aaa");
  m_recorder.edits.clear();
  m_field->setCursorPosition(1);
  QTest::keyClicks(m_field, "a");
  EXPECT_EQ(m_recorder.edits, (std::vector<Edit>{{1, 0, "a"}}));
}

TEST_F(TextFieldTest, PasteAndCutReplaceTheSelection) {
  typeIntoFocusedField("abcd");
  QApplication::clipboard()->setText("XY");
  m_field->setSelection(1, 2);
  QTest::keySequence(m_field, QKeySequence::Paste);
  EXPECT_EQ(m_field->text(), "aXYd");
  m_field->setSelection(0, 3);
  QTest::keySequence(m_field, QKeySequence::Cut);
  EXPECT_EQ(m_recorder.edits, (std::vector<Edit>{{1, 2, "XY"}, {0, 3, ""}}));
  EXPECT_EQ(m_field->text(), "d");
}

TEST_F(TextFieldTest, ARefusedEditLeavesTextAndSignalsAlone) {
  m_field->setFocus();
  m_field->setText("1234");
  QSignalSpy edited(m_field, &QLineEdit::textEdited);
  QSignalSpy changed(m_field, &QLineEdit::textChanged);
  m_recorder.allowChange = false;
  m_field->setCursorPosition(2);
  QTest::keyClicks(m_field, "x");
  QTest::keyClick(m_field, Qt::Key_Backspace);
  QApplication::clipboard()->setText("pasted");
  m_field->selectAll();
  QTest::keySequence(m_field, QKeySequence::Paste);
  commit("ime");
  EXPECT_EQ(m_field->text(), "1234");
  EXPECT_EQ(m_recorder.edits.size(), 4u) << "each was asked";
  EXPECT_EQ(edited.count(), 0);
  EXPECT_EQ(changed.count(), 0);

  EXPECT_FALSE(m_field->isUndoAvailable()) << "the refused edits left nothing to undo";

  m_recorder.allowChange = true;
  m_field->setCursorPosition(4);
  QTest::keyClicks(m_field, "5");
  EXPECT_EQ(m_field->text(), "12345") << "the field keeps working after a refusal";
}

TEST_F(TextFieldTest, TextSetByCodeIsNotOffered) {
  m_field->setText("from code");
  m_field->clear();
  EXPECT_TRUE(m_recorder.edits.empty());
}

TEST_F(TextFieldTest, EmojiRightToLeftAndLongTextSurvive) {
  m_field->setFocus();
  const QString emoji = QStringLiteral("😀👍🏽");  // three code points, six UTF-16 units
  commit(emoji);
  EXPECT_EQ(m_field->text(), emoji);
  EXPECT_EQ(m_recorder.edits.back(), (Edit{0, 0, emoji}));
  m_recorder.edits.clear();
  QTest::keyClick(m_field, Qt::Key_Backspace);
  ASSERT_EQ(m_recorder.edits.size(), 1u);
  EXPECT_EQ(m_recorder.edits[0].location + m_recorder.edits[0].length, 6) << "the end of the text was removed";
  EXPECT_EQ(m_recorder.edits[0].length % 2, 0) << "no half of a surrogate pair";
  EXPECT_TRUE(emoji.startsWith(m_field->text()));

  const QString hebrew = QStringLiteral("שלום עולם");
  m_field->clear();
  commit(hebrew);
  EXPECT_EQ(m_field->text(), hebrew);

  QString longText;
  for (int index = 0; index < 10000; ++index) longText += QChar(u'a' + index % 26);
  m_field->clear();
  m_recorder.edits.clear();
  QApplication::clipboard()->setText(longText);
  QTest::keySequence(m_field, QKeySequence::Paste);
  EXPECT_EQ(m_field->text(), longText);
  ASSERT_EQ(m_recorder.edits.size(), 1u);
  EXPECT_EQ(m_recorder.edits[0].replacement.size(), 10000);
}

TEST_F(TextFieldTest, OutOfEditingALongTextShowsFromItsStart) {
  const QString address = QStringLiteral("https://") + QString(200, u'a') + QStringLiteral(".example.no");
  m_field->setText(address);
  EXPECT_EQ(m_field->cursorPosition(), 0) << "set by code";

  ASSERT_TRUE(m_field->becomeFirstResponder());
  m_field->end(false);
  QTest::keyClicks(m_field, "/");
  EXPECT_EQ(m_field->cursorPosition(), address.size() + 1) << "editing keeps the caret where the user typed";
  m_field->resignFirstResponder();
  EXPECT_EQ(m_field->cursorPosition(), 0) << "once editing ended by the code";

  QTest::mouseClick(m_field, Qt::LeftButton);
  m_field->end(false);
  QTest::keyClick(m_field, Qt::Key_Tab);
  ASSERT_FALSE(m_field->isEditing());
  EXPECT_EQ(m_field->cursorPosition(), 0) << "once editing ended by the focus moving on";
}

TEST_F(TextFieldTest, ARefusalToBeginKeepsTheFieldUnfocused) {
  m_recorder.allowBegin = false;
  QTest::mouseClick(m_field, Qt::LeftButton);
  EXPECT_FALSE(m_field->hasFocus());
  EXPECT_FALSE(m_field->isEditing());
  EXPECT_FALSE(m_field->becomeFirstResponder());
  m_other->setFocus();
  QTest::keyClick(m_other, Qt::Key_Tab);
  EXPECT_FALSE(m_field->hasFocus()) << "not by Tab either";
  EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"should begin", "should begin", "should begin"}));
}

TEST_F(TextFieldTest, EditingBeginsOnceAndEndsWhenTheFocusMovesOn) {
  QTest::mouseClick(m_field, Qt::LeftButton);
  EXPECT_TRUE(m_field->hasFocus());
  EXPECT_TRUE(m_field->isEditing());
  QTest::mouseClick(m_field, Qt::LeftButton);
  QTest::keyClick(m_field, Qt::Key_Tab);
  EXPECT_TRUE(m_other->hasFocus());
  EXPECT_FALSE(m_field->isEditing());
  EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"should begin", "did begin", "did end"}));

  m_recorder.events.clear();
  EXPECT_TRUE(m_field->becomeFirstResponder());
  EXPECT_TRUE(m_field->hasFocus());
  EXPECT_TRUE(uikit::endEditing(&m_window));
  EXPECT_FALSE(m_field->hasFocus());
  EXPECT_FALSE(uikit::endEditing(&m_window)) << "nothing left to end";
  EXPECT_EQ(m_recorder.events, (std::vector<std::string>{"should begin", "did begin", "did end"}));
}

TEST_F(TextFieldTest, ReturnAsksTheDelegateAndEditingGoesOn) {
  m_field->becomeFirstResponder();
  QSignalSpy returned(m_field, &QLineEdit::returnPressed);
  QTest::keyClick(m_field, Qt::Key_Return);
  QTest::keyClick(m_field, Qt::Key_Enter);
  EXPECT_EQ(std::count(m_recorder.events.begin(), m_recorder.events.end(), "should return"), 2);
  EXPECT_EQ(returned.count(), 2);
  EXPECT_TRUE(m_field->isEditing());
  EXPECT_TRUE(m_field->hasFocus());
}

TEST_F(TextFieldTest, KeyboardAndReturnKeyReachTheInputMethod) {
  m_field->setKeyboardType(TextField::KeyboardType::URL);
  EXPECT_TRUE(m_field->inputMethodHints() & Qt::ImhUrlCharactersOnly);
  m_field->setKeyboardType(TextField::KeyboardType::NumberPad);
  EXPECT_EQ(m_field->inputMethodHints(), Qt::ImhDigitsOnly);
  m_field->setReturnKeyType(TextField::ReturnKeyType::Go);
  EXPECT_EQ(m_field->inputMethodQuery(Qt::ImEnterKeyType).toInt(), Qt::EnterKeyGo);
  m_field->setPlaceholder("Påkrevd");
  EXPECT_EQ(m_field->placeholderText(), "Påkrevd");
}

}  // namespace
