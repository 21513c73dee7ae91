#pragma once
// OVHudRootView: the overlay's full-screen view. It draws the panel at most
// once per display frame, follows its parent's size and hands ended touches
// to the controller while it is interactive. Main thread only.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace ui {

class OVHud;

class OVHudRootView : public QWidget {
  Q_OBJECT
 public:
  explicit OVHudRootView(OVHud& hud);

  bool isUserInteractionEnabled() const { return !testAttribute(Qt::WA_TransparentForMouseEvents); }
  void setUserInteractionEnabled(bool enabled);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A new frame as soon as a display frame has passed since the last one.
  void requestFrame();

  OVHud& m_hud;
  QTimer m_frameTimer;
  QElapsedTimer m_sinceFrame;
  int m_tapCount = 0;
};

}  // namespace ui
