#include "app/bundle_info.h"

#include "app/constants.h"

namespace app {

BundleInfo BundleInfo::main() {
  return {QString::fromUtf8(ProductName.data(), static_cast<qsizetype>(ProductName.size())), QStringLiteral(RP_VERSION),
          QStringLiteral(RP_BUILD_NUMBER)};
}

}  // namespace app
