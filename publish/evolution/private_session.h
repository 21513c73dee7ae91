#pragma once
// Test and benchmark support: the command and environment that run a program
// on a D-Bus session bus of its own, in a home of its own, so services started
// by activation never touch the machine's own session and end with the bus.

#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

namespace publish::evolution::test {

// Set in the environment of the program run inside the private session.
inline constexpr char kInsidePrivateSession[] = "RP_EVOLUTION_PRIVATE_SESSION";

// This process's environment with the marker above set and every per-user
// location (HOME, XDG_*_HOME, XDG_RUNTIME_DIR) in a fresh folder of `home`.
QProcessEnvironment privateSessionEnvironment(const QTemporaryDir& home);

// dbus-run-session's arguments that run `program` with `arguments` on a new bus.
QStringList privateSessionArguments(const QString& program, const QStringList& arguments);
inline constexpr char kSessionRunner[] = "dbus-run-session";

// Whether the Evolution Data Server address-book service and dbus-run-session
// are installed; the message to skip with when not.
bool evolutionServicesInstalled();
inline constexpr char kEvolutionServicesMissing[] =
    "Evolution Data Server's registry or address-book factory, or dbus-run-session, is not installed "
    "(packages evolution-data-server, dbus)";

}  // namespace publish::evolution::test
