#pragma once
// Test support: runs the current test again in a child process, on a D-Bus
// session bus and in a home of its own, and reports the child's outcome.

namespace publish::evolution::test {

enum class SessionBus {
  Private,      // a fresh bus from dbus-run-session, services found as installed
  Unreachable,  // DBUS_SESSION_BUS_ADDRESS pointing at a socket nobody listens on
};

// In the test process: runs the current test in the child, reports its outcome
// (failure, skip) as this test's own, and returns true. In the child: returns
// false, and the test body goes on.
bool rerunCurrentTestIn(SessionBus bus);

}  // namespace publish::evolution::test
