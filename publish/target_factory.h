#pragma once
// Makes the publishing targets a configuration names, in a fixed order
// (Evolution, folder, CardDAV). A setting that cannot be used is left out and
// explained in `problems`, one line each. Main thread, at start.

#include <QStringList>

#include "publish/publish_config.h"
#include "publish/publisher.h"

namespace publish {

Publisher::Targets makeTargets(const PublishConfig& config, QStringList& problems);

// Where the CardDAV target keeps the tag of its last write.
QString cardDavStateFile();

}  // namespace publish
