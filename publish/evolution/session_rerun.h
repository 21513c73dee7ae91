#pragma once
// Test support: runs the current test again in a child process with a D-Bus
// session bus of its own, so services it starts by activation never touch the
// machine's own session and go away with the child.

namespace publish::evolution::test {

enum class SessionBus {
  Private,      // a fresh bus from dbus-run-session, services found as installed
  Unreachable,  // DBUS_SESSION_BUS_ADDRESS pointing at a socket nobody listens on
};

// In the test process: runs the current test in the child, reports its outcome
// (failure, skip) as this test's own, and returns true. In the child: returns
// false, and the test body goes on.
bool rerunCurrentTestIn(SessionBus bus);

// Whether the Evolution Data Server address-book service can be activated on a
// session bus; the message to skip with when not.
bool evolutionServicesInstalled();
inline constexpr char kEvolutionServicesMissing[] =
    "Evolution Data Server's registry or address-book factory is not installed (package evolution-data-server)";

}  // namespace publish::evolution::test
