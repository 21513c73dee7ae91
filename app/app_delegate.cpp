#include "app/app_delegate.h"

#include <QVBoxLayout>
#include <QWidget>

#include "app/constants.h"
#include "app/root_view_controller.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/foundation/notification_center.h"
#include "platform/uikit/status_bar.h"
#include "store/record_store.h"
#include "ui/rating_prompt.h"

namespace app {

RingeplagvernAppDelegate::RingeplagvernAppDelegate()
    : m_window(std::make_unique<QWidget>()), m_rootViewController(new RootViewController) {
  m_window->setWindowTitle(QString::fromUtf8(ProductName.data(), ProductName.size()));
  m_window->setFixedSize(kWindowWidth, kWindowHeight);
}

RingeplagvernAppDelegate::~RingeplagvernAppDelegate() = default;

bool RingeplagvernAppDelegate::didFinishLaunchingWithOptions() {
  numberlist::Contact::registerModel();  // the stack's model is the number record's
  store::RecordStore::setupAutoMigratingCoreDataStack();
  // Counted before the window appears; an alert it may bring comes later, over the window.
  ui::RatingPrompt::appLaunched(true);
  auto* layout = new QVBoxLayout(m_window.get());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* statusBar = new uikit::StatusBar;
  statusBar->setObjectName(QStringLiteral("statusBar"));
  layout->addWidget(statusBar);
  layout->addWidget(m_rootViewController);
  m_window->show();
  m_window->activateWindow();
  return true;
}

void RingeplagvernAppDelegate::applicationWillResignActive() {
  defaults::UserDefaults::standard().synchronize();
  fnd::NotificationCenter::defaultCenter().post(ui::kApplicationWillResignActiveNotification, this);
}

void RingeplagvernAppDelegate::applicationWillEnterForeground() { ui::RatingPrompt::appEnteredForeground(true); }

// No work of its own: the screens listen for the notification that follows.
void RingeplagvernAppDelegate::applicationDidBecomeActive() {}

void RingeplagvernAppDelegate::applicationWillTerminate() {
  defaults::UserDefaults::standard().synchronize();
  // A list that reached the default context moments ago may still wait for
  // its queued save, which the ending event loop would never run.
  store::StoreSaving::save(store::StoreContext::defaultContext());
  store::RecordStore::cleanUp();
}

}  // namespace app
