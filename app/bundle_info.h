#pragma once
// What the application says about itself: its display name, its version and
// the number of its build.

#include <QString>

namespace app {

struct BundleInfo {
  QString displayName;
  QString shortVersion;
  QString buildNumber;

  static BundleInfo main();
};

}  // namespace app
