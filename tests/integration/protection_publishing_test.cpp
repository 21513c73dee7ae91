// covers: app/protection_publishing.cpp, publish/folder_target.cpp
// The protection contact that the manager saves in the application's own
// address book is mirrored to the configured places as it is: every number
// with its firm, as the address book's own vCard reader finds it; a place that cannot be
// written is reported in one line while the others and the book are kept;
// the removal of the contact removes it everywhere.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "addressbook/address_book_manager_v2.h"
#include "app/protection_publishing.h"
#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/properties.h"
#include "platform/addressbook/vcard.h"
#include "platform/files/whole_file.h"
#include "publish/folder_target.h"
#include "store/record_store.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace {

using namespace std::chrono_literals;
using numberlist::Contact;

class Delegate : public abm::ManageAddressBookDelegate<Delegate> {
 public:
  void didImportContacts() override { done = "imported"; }
  void didFailImportOfContactsWithError(const fnd::Error& error) override { done = error.localizedDescription(); }
  void didRemoveContacts() override { done = "removed"; }
  void didFailWhenRemovingContacts() override { done = "removal failed"; }
  std::string await() {
    EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !done.empty(); }, 60s));
    return std::exchange(done, {});
  }
  std::string done;
};

class ProtectionPublishingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store::RecordStore::setupCoreDataStackWithInMemoryStore();
    QFile blocker(m_root.filePath("plain-file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  }
  void TearDown() override {
    app::setActivePublishConfig({});
    store::RecordStore::cleanUp();
  }

  ab::test::TestBookFile m_book;
  QTemporaryDir m_root;
};

TEST_F(ProtectionPublishingTest, TheSavedContactReachesTheWritablePlaceAndTheOtherFailsInOneLine) {
  const QString folder = m_root.filePath("kpeoplevcard");
  publish::PublishConfig config;
  config.folder = folder;
  config.cardDavUrl = "http://127.0.0.1:1/unreachable/";  // nothing listens on port 1
  app::setActivePublishConfig(config);

  Delegate delegate;
  const auto manager = abm::AddressBookManagerV2::initWithDelegate(&delegate);
  ASSERT_TRUE(manager->hasLocalSource());
  Contact::List records;
  const std::vector<std::pair<QString, QString>> numbers{{"+47 22 00 00 00", "Blåbær, Ørret; Ærlig AS"},
                                                         {"815 00 000", QString("å").repeated(200)}};
  for (const auto& [number, firm] : numbers) {
    fnd::Ref<Contact> record = Contact::createEntity();
    record->setPhoneNumber(fnd::String::fromQString(number).get());
    record->setFirm(fnd::String::fromQString(firm).get());
    records.push_back(record);
  }
  manager->importLocalContactsInBackground(records);
  ASSERT_EQ(delegate.await(), "imported");

  std::vector<QStringList> shown;
  app::ProtectionPublishing publishing(manager, [&shown](const QStringList& failures) { shown.push_back(failures); });
  publishing.publishCurrentContact();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&shown] { return !shown.empty(); }, 60s));
  ASSERT_EQ(shown[0].size(), 1);
  EXPECT_TRUE(shown[0][0].startsWith("CardDAV http://127.0.0.1:1/unreachable/: ingen forbindelse"))
      << shown[0][0].toStdString();

  const QString file = folder + "/" + publish::FolderTarget::kFileName;
  const std::optional<std::string> card = files::readWholeFile(file.toStdString());
  ASSERT_TRUE(card);
  const auto people = ab::createPeopleFromVCardRepresentation(*card, nullptr);
  ASSERT_EQ(people.size(), 1u);
  EXPECT_EQ(people[0]->copyCompositeName()->toQString(), "Ringeplagvern");
  EXPECT_TRUE(people[0]->copyImageData(ab::ImageFormat::OriginalSize)) << "the contact's icon travels with it";
  const fnd::Ref<fnd::Object> stored = people[0]->copyValue(ab::kPersonPhoneProperty);
  const auto* phones = dynamic_cast<const ab::MultiValue*>(stored.get());
  ASSERT_NE(phones, nullptr);
  std::vector<std::pair<QString, QString>> published;
  for (const ab::MultiValue::Entry& entry : phones->entries())
    published.emplace_back(static_cast<const fnd::String&>(*entry.value).toQString(), entry.label->toQString());
  EXPECT_EQ(published, numbers);
  EXPECT_EQ(manager->countOfMembers(), 2u) << "the failed place takes nothing from the book";

  manager->removeImportedContactInBackground();
  ASSERT_EQ(delegate.await(), "removed");
  publishing.publishCurrentContact();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return !QFile::exists(file); }, 60s));
}

}  // namespace
