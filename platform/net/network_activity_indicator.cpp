#include "platform/net/network_activity_indicator.h"

#include <map>

namespace net {

namespace {

struct IndicatorState {
  bool visible = false;
  int nextId = 1;
  std::map<int, std::function<void(bool)>> observers;
};

IndicatorState& state() {
  static IndicatorState indicator;  // main thread only
  return indicator;
}

}  // namespace

bool NetworkActivityIndicator::isVisible() { return state().visible; }

void NetworkActivityIndicator::setVisible(bool visible) {
  IndicatorState& indicator = state();
  if (indicator.visible == visible) return;
  indicator.visible = visible;
  const auto observers = indicator.observers;  // an observer may remove itself
  for (const auto& [id, observer] : observers) observer(visible);
}

int NetworkActivityIndicator::addObserver(std::function<void(bool visible)> observer) {
  IndicatorState& indicator = state();
  indicator.observers.emplace(indicator.nextId, std::move(observer));
  return indicator.nextId++;
}

void NetworkActivityIndicator::removeObserver(int id) { state().observers.erase(id); }

}  // namespace net
