#pragma once
// ApplicationLifecycle: turns the application's state and its window's into
// the delegate's foreground calls and notifications. Leaving the foreground
// (the application loses the focus, or its window is minimised) resigns;
// coming back enters the foreground and becomes active, once per return and
// never at launch; quitting terminates. Main thread only.

#include <QObject>
#include <string_view>

class QWidget;

namespace app {

class RingeplagvernAppDelegate;

// Posted on every return to the foreground, after the delegate heard of it.
inline constexpr std::string_view kApplicationWillEnterForegroundNotification =
    "UIApplicationWillEnterForegroundNotification";
inline constexpr std::string_view kApplicationDidBecomeActiveNotification = "UIApplicationDidBecomeActiveNotification";

class ApplicationLifecycle final : public QObject {
 public:
  // Watches the running application and `window` for as long as it lives.
  ApplicationLifecycle(RingeplagvernAppDelegate& delegate, QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void update();

  RingeplagvernAppDelegate& m_delegate;
  QWidget& m_window;
  bool m_applicationActive;
  bool m_inForeground;
  // Set once the application has left the foreground: only then is coming back a return.
  bool m_hasLeft = false;
};

// Connects the running application's state changes and its end to `delegate`
// and its window; the watcher lives as long as the delegate.
void connectLifecycle(RingeplagvernAppDelegate& delegate);

}  // namespace app
