#pragma once
// Button: a rounded push button whose title depends on its state — pressed,
// disabled, selected (checked) or normal, the normal title standing in for
// any state without one. Main thread only.

#include <QPushButton>
#include <map>

namespace uikit {

class Button : public QPushButton {
  Q_OBJECT
 public:
  enum class ControlState { Normal, Highlighted, Disabled, Selected };

  explicit Button(QWidget* parent = nullptr);

  void setTitle(const QString& title, ControlState state);
  QString titleForState(ControlState state) const;
  ControlState currentState() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void showTitleOfCurrentState();

  std::map<ControlState, QString> m_titles;
};

}  // namespace uikit
