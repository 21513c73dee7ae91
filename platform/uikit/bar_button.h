#pragma once
// BarButton: the widget a navigation bar draws for one of its bar button
// items; clicking it triggers the item. Main thread only.

#include <QAbstractButton>
#include <QPointer>
#include <QVariantAnimation>

#include "platform/uikit/bar_button_item.h"

namespace uikit {

class BarButton : public QAbstractButton {
  Q_OBJECT
 public:
  static constexpr int kHeight = 30;

  BarButton(BarButtonItem* item, QWidget* parent);

  BarButtonItem* item() const { return m_item; }
  // Fades the button in from transparent, at once when not animated.
  void fadeIn(bool animated);
  // Fades the button out, ignoring clicks meanwhile, then emits fadedOut().
  void fadeOut(bool animated);
  bool isFading() const { return m_fade.state() == QAbstractAnimation::Running; }

  QSize sizeHint() const override;

 signals:
  void fadedOut();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void followItem();
  void fadeTo(double opacity, bool animated);
  void paintRefreshArrow(QPainter& painter, const QRectF& area) const;
  void paintCogWheel(QPainter& painter, const QRectF& area) const;
  bool isIcon() const;

  QPointer<BarButtonItem> m_item;
  double m_opacity = 1;
  QVariantAnimation m_fade;
};

}  // namespace uikit
