#pragma once
// Ends the application on SIGTERM, SIGINT and SIGHUP through Qt's normal quit,
// so that everything connected to the quit (aboutToQuit) runs as after any
// other quit. A second such signal ends the process at once. Main thread.

namespace dispatch {

// Installs the handlers; needs a QCoreApplication. Calling again does nothing.
void quitOnTerminationSignals();

}  // namespace dispatch
