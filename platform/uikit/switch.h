#pragma once
// Switch: the phone's on/off switch, a pill-shaped track with a round thumb
// that slides between off (left) and on (right). Main thread only.

#include <QAbstractButton>
#include <QVariantAnimation>

namespace uikit {

class Switch : public QAbstractButton {
  Q_OBJECT
 public:
  static constexpr int kWidth = 51;
  static constexpr int kHeight = 31;

  explicit Switch(QWidget* parent = nullptr);

  bool isOn() const { return isChecked(); }
  // Does not emit valueChanged(); only the user's own changes do.
  void setOn(bool on, bool animated = false);
  bool isAnimating() const;

  QSize sizeHint() const override;

 signals:
  // The user turned the switch: a click or tap, a drag of the thumb, or Space.
  void valueChanged(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void moveThumbTo(double position, bool animated);
  double thumbTravel() const;

  double m_thumbPosition = 0;  // 0 off .. 1 on
  QVariantAnimation m_thumbAnimation;
  bool m_dragging = false;
  double m_pressX = 0;
  double m_positionAtPress = 0;
};

}  // namespace uikit
