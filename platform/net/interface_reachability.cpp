#include "platform/net/interface_reachability.h"

#include <QNetworkInterface>
#include <algorithm>

namespace net {

namespace {

// A link-local address is given to any cable that is plugged in, even with no
// network behind it, so it says nothing about a route out.
bool routesBeyondItsLink(const QHostAddress& address) {
  return !address.isNull() && !address.isLoopback() && !address.isLinkLocal();
}

bool carriesTrafficOut(const InterfaceState& state) {
  if (!state.up || !state.running || state.loopback) return false;
  return std::any_of(state.addresses.begin(), state.addresses.end(), routesBeyondItsLink);
}

}  // namespace

InterfaceState InterfaceState::from(const QNetworkInterface& networkInterface) {
  InterfaceState state;
  const QNetworkInterface::InterfaceFlags flags = networkInterface.flags();
  state.up = flags.testFlag(QNetworkInterface::IsUp);
  state.running = flags.testFlag(QNetworkInterface::IsRunning);
  state.loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
  for (const QNetworkAddressEntry& entry : networkInterface.addressEntries()) state.addresses.append(entry.ip());
  return state;
}

std::optional<ReachabilityFlags> reachabilityFromInterfaces(const QList<InterfaceState>& interfaces) {
  // Every working system has at least its loopback interface; none at all
  // means the list could not be read.
  if (interfaces.isEmpty()) return std::nullopt;
  ReachabilityFlags flags;
  flags.reachable = std::any_of(interfaces.begin(), interfaces.end(), carriesTrafficOut);
  return flags;
}

}  // namespace net
