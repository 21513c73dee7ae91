#pragma once
// TextView: a frameless multi-line text that wraps at word boundaries inside
// an 8-point padding; read-only unless made editable. Main thread only.

#include <QPlainTextEdit>
#include <QString>

namespace uikit {

class TextView : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TextView(QWidget* parent = nullptr);

  // Plain text: markup is shown as typed.
  void setText(const QString& text);
  QString text() const { return toPlainText(); }

  bool isEditable() const { return !isReadOnly(); }
  void setEditable(bool editable) { setReadOnly(!editable); }

  // Lets the parent's background show through behind the text.
  bool hasTransparentBackground() const { return m_transparent; }
  void setTransparentBackground(bool transparent);

 private:
  bool m_transparent = false;
};

}  // namespace uikit
