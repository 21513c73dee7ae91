#pragma once
// OVHudQueueItem: one prepared overlay message, shown in turn by the
// overlay's queue. A plain value.

#include <QImage>
#include <QString>

#include "platform/uikit/activity_indicator.h"
#include "ui/ov_hud_layout.h"

namespace ui {

struct OVHudQueueItem {
  QString caption;
  QImage image;  // null: none
  bool showActivity = false;
  int accessoryPosition = OVAccessoryBelow;
  uikit::ActivityIndicatorStyle activityStyle = uikit::ActivityIndicatorStyle::White;
};

}  // namespace ui
