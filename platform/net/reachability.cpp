#include "platform/net/reachability.h"

#include <QNetworkInformation>
#include <QNetworkInterface>

#include "platform/dispatch/main_thread.h"
#include "platform/net/interface_reachability.h"

namespace net {

namespace {

// The system's network-information service, loaded on first use; null when no
// backend works here (no network manager on the bus, for one). Main thread.
QNetworkInformation* networkInformation() {
  static bool attempted = false;
  if (!attempted) {
    attempted = true;
    QNetworkInformation::loadDefaultBackend();
  }
  return QNetworkInformation::instance();
}

std::optional<ReachabilityFlags> flagsFromService(const QNetworkInformation& information) {
  ReachabilityFlags flags;
  switch (information.reachability()) {
    case QNetworkInformation::Reachability::Unknown:
      return std::nullopt;
    case QNetworkInformation::Reachability::Disconnected:
      break;
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site:
    case QNetworkInformation::Reachability::Online:
      // Like the zero address, any route out counts: the address to be
      // reached may well be on the local network.
      flags.reachable = true;
      break;
  }
  flags.connectionRequired = information.isBehindCaptivePortal();
  return flags;
}

std::optional<ReachabilityFlags> flagsFromInterfaces() {
  QList<InterfaceState> states;
  for (const QNetworkInterface& networkInterface : QNetworkInterface::allInterfaces())
    states.append(InterfaceState::from(networkInterface));
  return reachabilityFromInterfaces(states);
}

}  // namespace

std::optional<ReachabilityFlags> Reachability::flagsForZeroAddress() {
  std::optional<ReachabilityFlags> flags;
  // The service object lives on the main thread and updates itself there.
  dispatch::performOnMainThread(
      [&flags] {
        if (const QNetworkInformation* information = networkInformation()) flags = flagsFromService(*information);
      },
      true);
  return flags ? flags : flagsFromInterfaces();
}

}  // namespace net
