#include "platform/uikit/text_field.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>
#include <QValidator>
#include <memory>

namespace uikit {

namespace {

// The replaced range of an edit and what replaced it.
struct Change {
  int location = 0;
  int length = 0;
  QString replacement;
};

// Whether `after` is `before` with [location, location + length) replaced.
bool replaces(const QString& before, const QString& after, int location, int length) {
  if (location < 0 || length < 0 || location + length > before.size()) return false;
  const int kept = before.size() - length;
  return after.size() >= kept && QStringView(after).left(location) == QStringView(before).left(location) &&
         QStringView(after).right(before.size() - location - length) == QStringView(before).mid(location + length);
}

Change changeAt(const QString& before, const QString& after, int location, int length) {
  return {location, length, after.mid(location, after.size() - (before.size() - length))};
}

// The smallest range that tells the two texts apart, widened so that no
// surrogate pair is cut in two.
Change smallestChange(const QString& before, const QString& after) {
  const int shorter = std::min(before.size(), after.size());
  int prefix = 0;
  while (prefix < shorter && before[prefix] == after[prefix]) ++prefix;
  if (prefix > 0 && before[prefix - 1].isHighSurrogate()) --prefix;
  int suffix = 0;
  while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) ++suffix;
  if (suffix > 0 && before[before.size() - suffix].isLowSurrogate()) --suffix;
  return changeAt(before, after, prefix, before.size() - prefix - suffix);
}

}  // namespace

// Every change of the text passes the line edit's validator before it takes
// effect, and an invalid one is rolled back before any signal: the delegate's
// answer decides there.
class TextField::EditGate : public QValidator {
 public:
  explicit EditGate(TextField* field) : QValidator(field), m_field(field) {}
  State validate(QString& input, int&) const override { return m_field->allowsChange(input) ? Acceptable : Invalid; }

 private:
  TextField* m_field;
};

// Marks the time in which the user edits, with the state from before.
class TextField::UserEdit {
 public:
  explicit UserEdit(TextField& field) : m_field(&field) {
    if (field.m_userEditDepth++ > 0) return;
    field.m_textBefore = field.text();
    field.m_cursorBefore = field.cursorPosition();
    field.m_selectionStartBefore = field.selectionStart();
    field.m_selectionLengthBefore = field.selectedText().size();
  }
  // The field may be gone when a delegate closed its screen.
  ~UserEdit() {
    if (m_field) --m_field->m_userEditDepth;
  }
  UserEdit(const UserEdit&) = delete;
  UserEdit& operator=(const UserEdit&) = delete;

 private:
  QPointer<TextField> m_field;
};

TextField::TextField(QWidget* parent) : QLineEdit(parent) {
  setValidator(new EditGate(this));
  // Borderless and see-through, so a field sits in a row like its label.
  setFrame(false);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, Qt::transparent);
  setPalette(palette);
  // Out of editing a field shows its text from the start, cut off at the end
  // when it is too long, as a phone's field does; a line edit would show the
  // end of a text set by code.
  connect(this, &QLineEdit::textChanged, this, [this] {
    if (!m_editing) home(false);
  });
}

TextField::~TextField() = default;

void TextField::setReturnKeyType(ReturnKeyType type) {
  m_returnKeyType = type;
  updateMicroFocus();
}

void TextField::setKeyboardType(KeyboardType type) {
  m_keyboardType = type;
  switch (type) {
    case KeyboardType::Default:
      setInputMethodHints(Qt::ImhNone);
      break;
    case KeyboardType::NumberPad:
      setInputMethodHints(Qt::ImhDigitsOnly);
      break;
    case KeyboardType::PhonePad:
      setInputMethodHints(Qt::ImhDialableCharactersOnly);
      break;
    case KeyboardType::URL:
      setInputMethodHints(Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase);
      break;
    case KeyboardType::EmailAddress:
      setInputMethodHints(Qt::ImhEmailCharactersOnly | Qt::ImhNoAutoUppercase);
      break;
  }
}

QVariant TextField::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (query != Qt::ImEnterKeyType) return QLineEdit::inputMethodQuery(query);
  switch (m_returnKeyType) {
    case ReturnKeyType::Go:
      return Qt::EnterKeyGo;
    case ReturnKeyType::Next:
      return Qt::EnterKeyNext;
    case ReturnKeyType::Search:
      return Qt::EnterKeySearch;
    case ReturnKeyType::Done:
      return Qt::EnterKeyDone;
    case ReturnKeyType::Default:
      break;
  }
  return Qt::EnterKeyDefault;
}

bool TextField::allowsChange(const QString& proposed) {
  const QString before = m_textBefore;
  // Changes made by code, not by the user, are not offered to the delegate,
  // nor is a check of the text as it stands.
  if (m_userEditDepth == 0 || !m_delegate || proposed == before) {
    m_textBefore = proposed;
    return true;
  }
  // The state from before the edit tells where it happened; the smallest
  // difference serves when it does not fit (an undo, an input method's own range).
  Change change;
  const bool selection = m_selectionStartBefore >= 0 && m_selectionLengthBefore > 0;
  const int removed = before.size() - proposed.size();
  if (selection && replaces(before, proposed, m_selectionStartBefore, m_selectionLengthBefore)) {
    change = changeAt(before, proposed, m_selectionStartBefore, m_selectionLengthBefore);
  } else if (!selection && removed <= 0 && replaces(before, proposed, m_cursorBefore, 0)) {
    change = changeAt(before, proposed, m_cursorBefore, 0);
  } else if (!selection && removed > 0 && replaces(before, proposed, m_cursorBefore - removed, removed)) {
    change = changeAt(before, proposed, m_cursorBefore - removed, removed);
  } else if (!selection && removed > 0 && replaces(before, proposed, m_cursorBefore, removed)) {
    change = changeAt(before, proposed, m_cursorBefore, removed);
  } else {
    change = smallestChange(before, proposed);
  }
  // The delegate may change the text itself; that is not the user's edit.
  const int depth = std::exchange(m_userEditDepth, 0);
  const bool allowed =
      m_delegate->textFieldShouldChangeCharactersInRange(*this, change.location, change.length, change.replacement);
  m_userEditDepth = depth;
  if (allowed) {
    // A second change in the same event starts where this one left off.
    m_textBefore = proposed;
    m_cursorBefore = change.location + change.replacement.size();
    m_selectionStartBefore = -1;
    m_selectionLengthBefore = 0;
  }
  return allowed;
}

bool TextField::askToBegin() { return !m_delegate || m_delegate->textFieldShouldBeginEditing(*this); }

void TextField::beginEditing() {
  m_editing = true;
  if (m_delegate) m_delegate->textFieldDidBeginEditing(*this);
}

void TextField::endEditingNow() {
  m_editing = false;
  home(false);
  if (m_delegate) m_delegate->textFieldDidEndEditing(*this);
}

bool TextField::becomeFirstResponder() {
  if (m_editing) {
    setFocus(Qt::OtherFocusReason);
    return true;
  }
  if (!askToBegin()) return false;
  const QPointer<TextField> guard(this);
  beginEditing();
  if (guard) setFocus(Qt::OtherFocusReason);
  return true;
}

bool TextField::resignFirstResponder() {
  if (!m_editing) return true;
  // Not editing any more before the focus goes, so that it ends only once.
  m_editing = false;
  if (hasFocus()) clearFocus();
  endEditingNow();
  return true;
}

void TextField::focusInEvent(QFocusEvent* event) {
  // A window that becomes active hands its first field the focus by itself;
  // editing begins only when the user or the code asks for it.
  if (!m_editing && event->reason() == Qt::ActiveWindowFocusReason) {
    clearFocus();
    return;
  }
  if (!m_editing) {
    const QPointer<TextField> guard(this);
    if (!askToBegin()) {
      if (guard) clearFocus();
      return;
    }
    if (!guard) return;
    beginEditing();
    if (!guard || !hasFocus()) return;
  }
  QLineEdit::focusInEvent(event);
}

void TextField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // Another window or a menu of the field's own takes the focus for a while;
  // editing goes on when it comes back.
  const bool passing = event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
  if (m_editing && !passing) endEditingNow();
}

void TextField::mousePressEvent(QMouseEvent* event) {
  // A field that was refused editing takes no part in the press.
  if (!hasFocus()) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void TextField::mouseMoveEvent(QMouseEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::mouseMoveEvent(event);
}

void TextField::mouseReleaseEvent(QMouseEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::mouseReleaseEvent(event);
}

void TextField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    const QPointer<TextField> guard(this);
    if (m_delegate) m_delegate->textFieldShouldReturn(*this);
    if (guard) QLineEdit::keyPressEvent(event);
    return;
  }
  const UserEdit edit(*this);
  QLineEdit::keyPressEvent(event);
}

void TextField::inputMethodEvent(QInputMethodEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::inputMethodEvent(event);
}

void TextField::dropEvent(QDropEvent* event) {
  const UserEdit edit(*this);
  QLineEdit::dropEvent(event);
}

void TextField::contextMenuEvent(QContextMenuEvent* event) {
  // The menu runs here rather than after the event, so its cut, paste and
  // delete count as the user's edits.
  const std::unique_ptr<QMenu> menu(createStandardContextMenu());
  const UserEdit edit(*this);
  event->accept();
  menu->exec(event->globalPos());
}

bool endEditing(QWidget* root) {
  if (!root) return false;
  QList<TextField*> fields = root->findChildren<TextField*>();
  if (auto* field = qobject_cast<TextField*>(root)) fields.prepend(field);
  bool ended = false;
  for (TextField* field : fields) {
    if (!field->isEditing()) continue;
    field->resignFirstResponder();
    ended = true;
  }
  return ended;
}

}  // namespace uikit
