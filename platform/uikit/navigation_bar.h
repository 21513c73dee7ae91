#pragma once
// NavigationItem is what a navigation bar shows: a title and a button at the
// left and the right. NavigationBar is the 44-point bar at the top of a screen
// that draws it over a background image. Main thread only.

#include <QAbstractButton>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

#include "platform/uikit/bar_button_item.h"

namespace uikit {

class BarButton;

// An item parented to the navigation item is handed over: it is deleted
// (later) once it leaves. An item without a parent becomes the navigation
// item's child, kept for the navigation item's life, so it can be put back.
class NavigationItem : public QObject {
  Q_OBJECT
 public:
  explicit NavigationItem(const QString& title = {}, QObject* parent = nullptr);

  QString title() const { return m_title; }
  void setTitle(const QString& title);
  BarButtonItem* leftBarButtonItem() const { return m_left; }
  BarButtonItem* rightBarButtonItem() const { return m_right; }
  void setLeftBarButtonItem(BarButtonItem* item, bool animated = false);
  void setRightBarButtonItem(BarButtonItem* item, bool animated = false);

 signals:
  // Any change of the title or of a button.
  void changed();
  // A button was replaced; `animated` asks for a fade.
  void barButtonItemsChanged(bool animated);

 private:
  void replace(QPointer<BarButtonItem>& slot, BarButtonItem* item, bool animated);
  void release(BarButtonItem* item);

  QString m_title;
  QPointer<BarButtonItem> m_left;
  QPointer<BarButtonItem> m_right;
  std::vector<QPointer<BarButtonItem>> m_kept;  // adopted, not handed over
};

class NavigationBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 44;
  enum class BarMetrics { Default, LandscapePhone };

  explicit NavigationBar(QWidget* parent = nullptr);
  ~NavigationBar() override;

  // A parentless item becomes the bar's child.
  void setItem(NavigationItem* item);
  NavigationItem* topItem() const { return m_item; }

  void setBackgroundImage(const QPixmap& image, BarMetrics metrics);
  QPixmap backgroundImage(BarMetrics metrics) const { return m_backgrounds.value(metrics); }

  // The button drawn for `item` while the bar shows it, else nullptr.
  QAbstractButton* buttonForItem(const BarButtonItem* item) const;
  // While an old button fades out or a new one fades in.
  bool isAnimating() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  enum class Side { Left, Right };
  void syncButtons(bool animated);
  void syncButton(Side side, BarButtonItem* item, bool animated);
  void placeButtons();
  void fadeOut(BarButton* button, bool animated);
  std::pair<double, double> titleRoom() const;

  QPointer<NavigationItem> m_item;
  QPointer<BarButton> m_left;
  QPointer<BarButton> m_right;
  std::vector<QPointer<BarButton>> m_leaving;
  QHash<BarMetrics, QPixmap> m_backgrounds;
};

}  // namespace uikit
