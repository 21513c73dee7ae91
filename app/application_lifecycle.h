#pragma once
// Turns Qt's application states into the delegate's foreground calls:
// leaving the active state resigns; coming back to it from the hidden or
// suspended state enters the foreground (a mere loss of focus does not), and
// quitting terminates.

#include <QObject>

class RingeplagvernAppDelegate;

struct LifecycleEvents {
  bool resignActive = false;
  bool enterForeground = false;
};

// The calls due when the application moves from `from` to `to`.
LifecycleEvents lifecycleEventsForTransition(Qt::ApplicationState from, Qt::ApplicationState to);

// Connects the running application's state changes and its end to `delegate`.
void connectLifecycle(RingeplagvernAppDelegate& delegate);
