#include "app/protection_publishing.h"

#include <QCoreApplication>
#include <QDebug>

#include "addressbook/address_book_manager_v2.h"
#include "publish/contact_snapshot.h"
#include "publish/target_factory.h"

namespace app {

namespace {

publish::PublishConfig& activeConfig() {
  static publish::PublishConfig config;  // main thread only
  return config;
}

}  // namespace

void setActivePublishConfig(const publish::PublishConfig& config) { activeConfig() = config; }

ProtectionPublishing::ProtectionPublishing(std::shared_ptr<abm::AddressBookManagerV2> manager,
                                           ShowFailures showFailures)
    : m_manager(std::move(manager)) {
  QStringList problems;
  publish::Publisher::Targets targets = publish::makeTargets(activeConfig(), problems);
  for (const QString& problem : problems) qWarning().noquote() << "Publishing setting not used:" << problem;
  if (targets.empty()) return;
  m_publisher = std::make_unique<publish::Publisher>(
      std::move(targets), [showFailures = std::move(showFailures)](const QStringList& failures) {
        if (!failures.isEmpty()) showFailures(failures);
      });
}

ProtectionPublishing::~ProtectionPublishing() = default;

void ProtectionPublishing::waitForRounds() {
  if (!m_publisher) return;
  m_publisher->waitForRounds();
  QCoreApplication::sendPostedEvents();  // the rounds' reports
}

void ProtectionPublishing::publishCurrentContact() {
  if (!m_publisher) return;
  // Read on the publisher's worker: finding the contact waits for the address book's thread.
  m_publisher->mirror([manager = m_manager] { return publish::protectionContactSnapshot(*manager); });
}

}  // namespace app
