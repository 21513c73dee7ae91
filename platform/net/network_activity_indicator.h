#pragma once
// The network-activity indicator: one process-wide flag that the window shows
// while the application is loading from the network. Main thread only.

#include <functional>

namespace net {

class NetworkActivityIndicator {
 public:
  static bool isVisible();
  static void setVisible(bool visible);
  // Called on every change with the new state; returns an id for removal.
  static int addObserver(std::function<void(bool visible)> observer);
  static void removeObserver(int id);
};

}  // namespace net
