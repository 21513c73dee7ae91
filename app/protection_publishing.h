#pragma once
// ProtectionPublishing: after each save or removal of the protection contact,
// mirrors the contact as the address book now holds it to every place the
// person configured, off the main thread, and hands back one line per place
// that failed. Nothing configured: nothing is done. Main thread only.

#include <QStringList>
#include <functional>
#include <memory>

#include "publish/publish_config.h"
#include "publish/publisher.h"

namespace abm {
class AddressBookManagerV2;
}  // namespace abm

namespace app {

class ProtectionPublishing {
 public:
  using ShowFailures = std::function<void(const QStringList& failures)>;

  // Makes the targets of the active configuration; a setting that cannot be
  // used is logged. `showFailures` runs after a round in which a target failed.
  ProtectionPublishing(std::shared_ptr<abm::AddressBookManagerV2> manager, ShowFailures showFailures);
  ~ProtectionPublishing();

  void publishCurrentContact();
  // Blocks until the rounds asked for so far have run and their failures are shown.
  void waitForRounds();

 private:
  std::shared_ptr<abm::AddressBookManagerV2> m_manager;
  std::unique_ptr<publish::Publisher> m_publisher;
};

// The configuration the running application publishes with; set once at start.
void setActivePublishConfig(const publish::PublishConfig& config);

}  // namespace app
