#pragma once
// ButtonDialog: what the alert and the action sheet share — a modal panel
// drawn inside a window over the dimmed screen, with a title, a message and
// buttons numbered in the order they were added. It belongs to the window while
// shown and deletes itself after its dismissal. Main thread only.

#include <QBoxLayout>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <vector>

class QLabel;
class QPushButton;

namespace uikit {

class ButtonDialog;

// Both operations are optional; the delegate is not owned.
class ButtonDialogDelegate {
 public:
  virtual void clickedButtonAtIndex(ButtonDialog& dialog, int index);
  // After the dialog left the screen; index -1 when no button was pressed.
  virtual void didDismissWithButtonIndex(ButtonDialog& dialog, int index);

 protected:
  ~ButtonDialogDelegate() = default;
};

class ButtonDialog : public QWidget {
  Q_OBJECT
 public:
  int addButtonWithTitle(const QString& title);
  int numberOfButtons() const { return static_cast<int>(m_buttons.size()); }
  QString buttonTitleAtIndex(int index) const;
  QPushButton* buttonAtIndex(int index) const;
  QString title() const;
  QString message() const;
  int cancelButtonIndex() const { return m_cancelButtonIndex; }
  void setCancelButtonIndex(int index);

  ButtonDialogDelegate* delegate() const { return m_delegate; }
  void setDelegate(ButtonDialogDelegate* delegate) { m_delegate = delegate; }

  // Shows the dialog over `window` (the active window when none is given).
  void show(QWidget* window = nullptr);
  // Takes the dialog off the screen as if button `index` (or none, -1) was
  // pressed: the delegate hears of the dismissal, not of a press.
  void dismissWithClickedButtonIndex(int index);

 protected:
  ButtonDialog(const QString& title, const QString& message, ButtonDialogDelegate* delegate);

  // Places the panel inside the dialog's rectangle and lays out its buttons.
  virtual void arrangePanel() = 0;
  // Gives the button its look after its role (cancel, destructive) changed.
  void setButtonRole(int index, const char* role);
  // Lays the buttons out in index order, the cancel button first or last
  // (after a gap), in a row or a column.
  enum class CancelPlace { First, Last };
  void layOutButtons(QBoxLayout::Direction direction, CancelPlace cancelPlace, int cancelGap);

  QWidget* panel() const { return m_panel; }
  QBoxLayout* buttonLayout() const { return m_buttonLayout; }
  const std::vector<QPushButton*>& buttons() const { return m_buttons; }

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void press(int index);

  ButtonDialogDelegate* m_delegate;
  QWidget* m_panel;
  QLabel* m_title;
  QLabel* m_message;
  QBoxLayout* m_buttonLayout;
  std::vector<QPushButton*> m_buttons;
  int m_cancelButtonIndex = -1;
  bool m_dismissed = false;
};

}  // namespace uikit
