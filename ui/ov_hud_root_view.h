#pragma once
// OVHudRootView: the overlay's full-screen view. It draws the panel, follows
// its parent's size and hands ended touches to the controller while it is
// interactive. Main thread only.

#include <QWidget>

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
  OVHud& m_hud;
  int m_tapCount = 0;
};
