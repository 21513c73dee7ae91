#include "app/application_lifecycle.h"

#include <QApplicationStateChangeEvent>
#include <QGuiApplication>
#include <QWidget>

#include "app/app_delegate.h"
#include "platform/foundation/notification_center.h"

namespace app {

ApplicationLifecycle::ApplicationLifecycle(RingeplagvernAppDelegate& delegate, QWidget& window)
    : QObject(&delegate),
      m_delegate(delegate),
      m_window(window),
      m_applicationActive(QGuiApplication::applicationState() == Qt::ApplicationActive),
      m_inForeground(m_applicationActive && !window.isMinimized()) {
  // The platforms of this system report focus changes (active and inactive)
  // rather than hidden and suspended states, and report a minimised window
  // only on the window; both come as Qt's own events.
  QCoreApplication::instance()->installEventFilter(this);
  m_window.installEventFilter(this);
  connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] { m_delegate.applicationWillTerminate(); });
}

bool ApplicationLifecycle::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ApplicationStateChange && watched == QCoreApplication::instance()) {
    m_applicationActive =
        static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive;
    update();
  } else if (event->type() == QEvent::WindowStateChange && watched == &m_window) {
    update();
  }
  return false;
}

void ApplicationLifecycle::update() {
  const bool inForeground = m_applicationActive && !m_window.isMinimized();
  if (inForeground == m_inForeground) return;
  m_inForeground = inForeground;
  if (!inForeground) {
    m_hasLeft = true;
    m_delegate.applicationWillResignActive();
    return;
  }
  if (!m_hasLeft) return;  // the first activation at launch
  auto& center = fnd::NotificationCenter::defaultCenter();
  m_delegate.applicationWillEnterForeground();
  center.post(std::string(kApplicationWillEnterForegroundNotification), &m_delegate);
  m_delegate.applicationDidBecomeActive();
  center.post(std::string(kApplicationDidBecomeActiveNotification), &m_delegate);
}

void connectLifecycle(RingeplagvernAppDelegate& delegate) { new ApplicationLifecycle(delegate, *delegate.window()); }

}  // namespace app
