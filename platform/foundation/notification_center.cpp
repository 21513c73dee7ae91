#include "platform/foundation/notification_center.h"

#include <algorithm>
#include <atomic>

#include "platform/dispatch/main_thread.h"

namespace fnd {

struct NotificationCenter::Observer {
  ObserverId id;
  std::string name;
  const void* sender;
  Handler handler;
  std::atomic<bool> active{true};

  bool matches(std::string_view postedName, const void* postedSender) const {
    return (name.empty() || name == postedName) && (!sender || sender == postedSender);
  }
};

NotificationCenter& NotificationCenter::defaultCenter() {
  static auto* const center = new NotificationCenter;  // lives for the process
  return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(std::string name, const void* sender, Handler handler) {
  std::lock_guard lock(m_mutex);
  auto observer = std::make_shared<Observer>();
  observer->id = m_nextId++;
  observer->name = std::move(name);
  observer->sender = sender;
  observer->handler = std::move(handler);
  m_observers.push_back(observer);
  return observer->id;
}

void NotificationCenter::removeObserver(ObserverId id) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_observers, [id](const std::shared_ptr<Observer>& observer) {
    if (observer->id != id) return false;
    observer->active = false;  // a delivery already under way skips it
    return true;
  });
}

void NotificationCenter::post(std::string name, const void* sender, Ref<Dictionary> userInfo) {
  const Notification notification{std::move(name), sender, std::move(userInfo)};
  std::vector<std::shared_ptr<Observer>> receivers;
  {
    std::lock_guard lock(m_mutex);
    for (const auto& observer : m_observers)
      if (observer->matches(notification.name, notification.sender)) receivers.push_back(observer);
  }
  // Called without the lock, so handlers may add or remove observers and post.
  for (const auto& observer : receivers)
    if (observer->active) observer->handler(notification);
}

bool NotificationCenter::isObserved(std::string_view name, const void* sender) const {
  std::lock_guard lock(m_mutex);
  return std::any_of(m_observers.begin(), m_observers.end(),
                     [&](const std::shared_ptr<Observer>& observer) { return observer->matches(name, sender); });
}

void NotificationCenter::postOnMainThread(std::string name, const void* sender, Ref<Dictionary> userInfo,
                                          bool waitUntilDone) {
  dispatch::performOnMainThread(
      [this, name = std::move(name), sender, userInfo = std::move(userInfo)]() mutable {
        post(std::move(name), sender, std::move(userInfo));
      },
      waitUntilDone);
}

ScopedObserver& ScopedObserver::operator=(ScopedObserver&& other) noexcept {
  if (this != &other) {
    reset();
    m_center = std::exchange(other.m_center, nullptr);
    m_id = other.m_id;
  }
  return *this;
}

void ScopedObserver::reset() {
  if (m_center) m_center->removeObserver(m_id);
  m_center = nullptr;
}

}  // namespace fnd
