#include "app/user_data_lock.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace app {

namespace {

constexpr const char* kLockFileName = "writer.lock";

}  // namespace

QString userDataLockPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/" +
         QCoreApplication::applicationName() + "/" + kLockFileName;
}

}  // namespace app
