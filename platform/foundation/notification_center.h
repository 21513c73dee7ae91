#pragma once
// NotificationCenter: named broadcasts within the process. Observers are called
// on the posting thread, or on the main thread when posted with
// postOnMainThread(). Thread-safe; an observer removed before a delivery
// starts is not called.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/containers.h"

namespace fnd {

struct Notification {
  std::string name;
  const void* sender = nullptr;
  Ref<Dictionary> userInfo;
};

class NotificationCenter {
 public:
  using Handler = std::function<void(const Notification&)>;
  using ObserverId = std::uint64_t;

  static NotificationCenter& defaultCenter();

  // Observes notifications called `name` (every name when empty) from `sender`
  // (every sender when null).
  ObserverId addObserver(std::string name, const void* sender, Handler handler);
  void removeObserver(ObserverId observer);

  void post(std::string name, const void* sender = nullptr, Ref<Dictionary> userInfo = {});
  // Whether a post of `name` from `sender` would reach anyone now, so that a
  // sender can skip putting together a costly notification nobody receives.
  bool isObserved(std::string_view name, const void* sender) const;
  // Delivers on the main thread; `waitUntilDone` as for performOnMainThread.
  void postOnMainThread(std::string name, const void* sender = nullptr, Ref<Dictionary> userInfo = {},
                        bool waitUntilDone = false);

 private:
  struct Observer;
  mutable std::mutex m_mutex;
  std::vector<std::shared_ptr<Observer>> m_observers;  // guarded by m_mutex
  ObserverId m_nextId = 1;                             // guarded by m_mutex
};

// Removes its observer when it goes out of scope.
class ScopedObserver {
 public:
  ScopedObserver() = default;
  ScopedObserver(NotificationCenter& center, NotificationCenter::ObserverId id) : m_center(&center), m_id(id) {}
  ScopedObserver(ScopedObserver&& other) noexcept
      : m_center(std::exchange(other.m_center, nullptr)), m_id(other.m_id) {}
  ScopedObserver& operator=(ScopedObserver&& other) noexcept;
  ~ScopedObserver() { reset(); }
  void reset();

 private:
  NotificationCenter* m_center = nullptr;
  NotificationCenter::ObserverId m_id = 0;
};

}  // namespace fnd
