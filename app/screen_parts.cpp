#include "app/screen_parts.h"

#include "platform/uikit/bar_button_item.h"
#include "platform/uikit/image_named.h"
#include "platform/uikit/navigation_bar.h"
#include "ui/ov_hud.h"

namespace app {

namespace screen_parts {

namespace {
constexpr double kHudMargin = 20.0;
}  // namespace

uikit::NavigationItem* installNavigationItem(uikit::NavigationBar& bar, QWidget& screen, const QString& objectName) {
  auto* item = new uikit::NavigationItem(QString(), &screen);
  item->setObjectName(objectName);
  bar.setItem(item);
  bar.setBackgroundImage(uikit::imageNamed(QStringLiteral("topBar")), uikit::NavigationBar::BarMetrics::Default);
  return item;
}

uikit::BarButtonItem* makeCloseButton(uikit::NavigationItem& item) {
  auto* close = new uikit::BarButtonItem(uikit::BarButtonItem::SystemItem::Close, &item);
  close->setObjectName(QStringLiteral("closeButton"));
  item.setRightBarButtonItem(close);
  return close;
}

void installOverlay(ui::OVHud& hud, QWidget& screen) {
  hud.setMargin(kHudMargin);
  QWidget* overlay = hud.view();
  overlay->setParent(&screen);
  overlay->setGeometry(screen.rect());
  overlay->raise();
  overlay->show();
}

}  // namespace screen_parts

}  // namespace app
