#pragma once
// The reachability answer worked out from the machine's network interfaces,
// for systems whose network-information service gives none. Pure function of
// its input; thread-safe.

#include <QHostAddress>
#include <QList>
#include <optional>

#include "platform/net/reachability.h"

class QNetworkInterface;

namespace net {

struct InterfaceState {
  bool up = false;
  bool running = false;
  bool loopback = false;
  QList<QHostAddress> addresses;

  static InterfaceState from(const QNetworkInterface& networkInterface);
};

// Reachable when an interface that is up, running and not loopback has an
// address that routes beyond its own link; nullopt when no interface is known.
std::optional<ReachabilityFlags> reachabilityFromInterfaces(const QList<InterfaceState>& interfaces);

}  // namespace net
