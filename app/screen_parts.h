#pragma once
// What every screen of the application sets up the same way: its navigation
// item on its bar with the bar's background image, a close button for the
// modal screens, and the progress overlay over the whole screen. Main thread
// only.

#include <QObject>
#include <QString>

#include "platform/uikit/bar_button_item.h"

namespace ui {
class OVHud;
}  // namespace ui
class QWidget;
namespace uikit {
class NavigationBar;
class NavigationItem;
}  // namespace uikit

namespace app {

namespace screen_parts {

// A navigation item named `objectName`, owned by `screen`, shown on `bar`
// over the bar's background image.
uikit::NavigationItem* installNavigationItem(uikit::NavigationBar& bar, QWidget& screen, const QString& objectName);

// The screen's progress overlay over all of it, 20 points from its edges.
void installOverlay(ui::OVHud& hud, QWidget& screen);

// The modal screens' close button, put at the right of `item`.
uikit::BarButtonItem* makeCloseButton(uikit::NavigationItem& item);

// A close button whose press runs `close` on `screen`.
template <class Screen>
void addCloseButton(uikit::NavigationItem& item, Screen* screen, void (Screen::*close)()) {
  QObject::connect(makeCloseButton(item), &uikit::BarButtonItem::triggered, screen, close);
}

}  // namespace screen_parts

}  // namespace app
