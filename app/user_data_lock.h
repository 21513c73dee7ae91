#pragma once
// The lock file of the user's number list and protection contact: every
// program that writes either takes it first (files::WriterLock). Needs the
// application's name to be set; main thread.

#include <QString>

namespace app {

QString userDataLockPath();

}  // namespace app
