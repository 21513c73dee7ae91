#pragma once
// Reachability: whether the machine has a route to the network at all (the
// question asked for the zero address), without sending anything.
// Thread-safe: may be asked from any thread except while the main thread waits
// for the asker (the platform's answer is read on the main thread).

#include <optional>

namespace net {

struct ReachabilityFlags {
  // Some interface other than loopback can carry traffic out.
  bool reachable = false;
  // Traffic is held until the user does something first (a captive portal's
  // login page).
  bool connectionRequired = false;
};

class Reachability {
 public:
  // The flags for the zero address, or nullopt when the system gives no
  // answer at all.
  static std::optional<ReachabilityFlags> flagsForZeroAddress();
};

}  // namespace net
