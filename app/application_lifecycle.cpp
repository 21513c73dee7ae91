#include "app/application_lifecycle.h"

#include <QGuiApplication>

#include "app/app_delegate.h"

LifecycleEvents lifecycleEventsForTransition(Qt::ApplicationState from, Qt::ApplicationState to) {
  LifecycleEvents events;
  events.resignActive = from == Qt::ApplicationActive && to != Qt::ApplicationActive;
  events.enterForeground =
      to == Qt::ApplicationActive && (from == Qt::ApplicationHidden || from == Qt::ApplicationSuspended);
  return events;
}

void connectLifecycle(RingeplagvernAppDelegate& delegate) {
  auto* application = qGuiApp;
  auto previous = std::make_shared<Qt::ApplicationState>(application->applicationState());
  QObject::connect(application, &QGuiApplication::applicationStateChanged, &delegate,
                   [&delegate, previous](Qt::ApplicationState state) {
                     const LifecycleEvents events = lifecycleEventsForTransition(*previous, state);
                     *previous = state;
                     if (events.resignActive) delegate.applicationWillResignActive();
                     if (events.enterForeground) delegate.applicationWillEnterForeground();
                   });
  QObject::connect(application, &QCoreApplication::aboutToQuit, &delegate,
                   [&delegate] { delegate.applicationWillTerminate(); });
}
