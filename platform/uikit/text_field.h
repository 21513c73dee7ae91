#pragma once
// TextField: a one-line text entry that asks a delegate before editing begins,
// before every change of its text and at the return key, and tells it when
// editing begins and ends. Main thread only.

#include <QLineEdit>
#include <QString>

namespace uikit {

class TextField;

// Not owned by the field; every message is optional.
class TextFieldDelegate {
 public:
  virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
  virtual void textFieldDidBeginEditing(TextField&) {}
  // `location` and `length` are the replaced range of the text in UTF-16 units.
  virtual bool textFieldShouldChangeCharactersInRange(TextField&, int /*location*/, int /*length*/,
                                                      const QString& /*replacement*/) {
    return true;
  }
  virtual bool textFieldShouldReturn(TextField&) { return true; }
  virtual void textFieldDidEndEditing(TextField&) {}

 protected:
  ~TextFieldDelegate() = default;
};

class TextField : public QLineEdit {
  Q_OBJECT
 public:
  enum class ReturnKeyType { Default, Go, Next, Search, Done };
  enum class KeyboardType { Default, NumberPad, PhonePad, URL, EmailAddress };

  explicit TextField(QWidget* parent = nullptr);
  ~TextField() override;

  TextFieldDelegate* delegate() const { return m_delegate; }
  void setDelegate(TextFieldDelegate* delegate) { m_delegate = delegate; }

  QString placeholder() const { return placeholderText(); }
  void setPlaceholder(const QString& placeholder) { setPlaceholderText(placeholder); }

  ReturnKeyType returnKeyType() const { return m_returnKeyType; }
  void setReturnKeyType(ReturnKeyType type);
  // Given to input methods as hints.
  KeyboardType keyboardType() const { return m_keyboardType; }
  void setKeyboardType(KeyboardType type);

  bool isEditing() const { return m_editing; }
  // Asks the delegate whether editing may begin and takes the focus if so.
  bool becomeFirstResponder();
  // Gives up the focus and tells the delegate that editing ended.
  bool resignFirstResponder();

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  class EditGate;
  class UserEdit;
  friend class EditGate;

  bool askToBegin();
  void beginEditing();
  void endEditingNow();
  // Whether the delegate lets the text become `proposed`; called for every change.
  bool allowsChange(const QString& proposed);

  TextFieldDelegate* m_delegate = nullptr;
  ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
  KeyboardType m_keyboardType = KeyboardType::Default;
  bool m_editing = false;
  // While the user edits: the text, cursor and selection from before the change.
  int m_userEditDepth = 0;
  QString m_textBefore;
  int m_cursorBefore = 0;
  int m_selectionStartBefore = -1;
  int m_selectionLengthBefore = 0;
};

// Ends the editing of whichever TextField inside `root` (or `root` itself) is
// being edited; true if one was.
bool endEditing(QWidget* root);

}  // namespace uikit
