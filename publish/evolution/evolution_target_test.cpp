// The Evolution target against the real service, each test in a D-Bus session
// of its own with a private home. What the target wrote is read back through
// the client library's blocking calls, apart from the target's own code.
#include "publish/evolution/evolution_target.h"

#include <gtest/gtest.h>
#include <libebook/libebook.h>

#include <csignal>

#include <QElapsedTimer>
#include <QFile>
#include <QUrl>
#include <algorithm>

#include "publish/evolution/eds_contact.h"
#include "publish/evolution/glib_handles.h"
#include "publish/evolution/private_session.h"
#include "publish/evolution/read_back.h"
#include "publish/evolution/session_rerun.h"

namespace publish::evolution {
namespace {

using test::evolutionServicesInstalled;
using test::expectSameNumbers;
using test::kEvolutionServicesMissing;
using test::rerunCurrentTestIn;
using test::SessionBus;

constexpr auto kSkipWithoutServices = [] { return !evolutionServicesInstalled(); };

const QByteArray kIcon("\x89PNG\r\n\x1a\n-ikon-\0-slutt", 22);

ContactSnapshot fullContact() {
  return {QStringLiteral("Ringeplagvern"),
          {{QStringLiteral("+47 22 33 44 55"), QStringLiteral("Blåbær Ærlig Øst AS")},
           {QStringLiteral("81549300"), QStringLiteral("Salg, Service; og Co")},
           {QStringLiteral("004799887766"), QString(200, QChar(u'ø'))},
           {QStringLiteral("40001000"), QStringLiteral("Markedsanalyse; Norge, avd. Å")}},
          kIcon};
}

// A book as an independent reader sees it.
class BookReader {
 public:
  explicit BookReader(const QString& displayName = {}) {
    GErrorSlot error;
    m_registry.reset(e_source_registry_new_sync(nullptr, error.out()));
    if (!m_registry) {
      ADD_FAILURE() << "no registry: " << error.get()->message;
      return;
    }
    GObjectPtr<ESource> source(displayName.isEmpty() ? e_source_registry_ref_builtin_address_book(m_registry.get())
                                                     : findByName(displayName));
    if (!source) {
      ADD_FAILURE() << "no book " << displayName.toStdString();
      return;
    }
    m_client.reset(
        E_BOOK_CLIENT(e_book_client_connect_sync(source.get(), static_cast<guint32>(-1), nullptr, error.out())));
    if (!m_client) ADD_FAILURE() << "cannot open the book: " << error.get()->message;
  }

  bool isOpen() const { return m_client != nullptr; }

  // The protection contact, or empty with the reason in `notFound`.
  GObjectPtr<EContact> protectionContact(bool* notFound = nullptr) const {
    EContact* contact = nullptr;
    GErrorSlot error;
    e_book_client_get_contact_sync(m_client.get(), kProtectionContactUid, &contact, nullptr, error.out());
    if (notFound) *notFound = g_error_matches(error.get(), E_BOOK_CLIENT_ERROR, E_BOOK_CLIENT_ERROR_CONTACT_NOT_FOUND);
    return GObjectPtr<EContact>(contact);
  }

  int countNamed(const char* name) const {
    GCharPtr query(g_strdup_printf("(is \"full_name\" \"%s\")", name));
    GSList* uids = nullptr;
    GErrorSlot error;
    e_book_client_get_contacts_uids_sync(m_client.get(), query.get(), &uids, nullptr, error.out());
    const int count = static_cast<int>(g_slist_length(uids));
    g_slist_free_full(uids, g_free);
    return count;
  }

 private:
  ESource* findByName(const QString& displayName) {
    ESource* found = nullptr;
    GList* books = e_source_registry_list_sources(m_registry.get(), E_SOURCE_EXTENSION_ADDRESS_BOOK);
    for (GList* item = books; item; item = item->next) {
      if (QString::fromUtf8(e_source_get_display_name(E_SOURCE(item->data))) == displayName) {
        found = E_SOURCE(g_object_ref(item->data));
      }
    }
    g_list_free_full(books, g_object_unref);
    return found;
  }

  GObjectPtr<ESourceRegistry> m_registry;
  GObjectPtr<EBookClient> m_client;
};

// The service may keep an inline image as a file of its own and refer to it.
QByteArray iconBytes(EContact* contact) {
  auto* photo = static_cast<EContactPhoto*>(e_contact_get(contact, E_CONTACT_PHOTO));
  if (!photo) return {};
  QByteArray bytes;
  if (photo->type == E_CONTACT_PHOTO_TYPE_INLINED) {
    gsize length = 0;
    const guchar* data = e_contact_photo_get_inlined(photo, &length);
    bytes = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
  } else {
    QFile file(QUrl(QString::fromUtf8(e_contact_photo_get_uri(photo))).toLocalFile());
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  }
  e_contact_photo_free(photo);
  return bytes;
}

// Adds an address book kept on this machine under `displayName`.
void createLocalBook(const char* displayName) {
  GErrorSlot error;
  GObjectPtr<ESourceRegistry> registry(e_source_registry_new_sync(nullptr, error.out()));
  ASSERT_TRUE(registry) << error.get()->message;
  GObjectPtr<ESource> source(e_source_new(nullptr, nullptr, error.out()));
  ASSERT_TRUE(source) << error.get()->message;
  e_source_set_display_name(source.get(), displayName);
  e_source_set_parent(source.get(), "local-stub");
  auto* book = static_cast<ESourceBackend*>(e_source_get_extension(source.get(), E_SOURCE_EXTENSION_ADDRESS_BOOK));
  e_source_backend_set_backend_name(book, "local");
  ASSERT_TRUE(e_source_registry_commit_source_sync(registry.get(), source.get(), nullptr, error.out()))
      << error.get()->message;
}

constexpr const char* kAddressBookServicePrefixes[] = {"org.gnome.evolution.dataserver.AddressBook",
                                                       "org.gnome.evolution.dataserver.Subprocess.Backend.AddressBook"};

GVariant* callBus(GDBusConnection* bus, const char* method, GVariant* parameters, const char* replyType) {
  return g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                     method, parameters, G_VARIANT_TYPE(replyType), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
                                     nullptr);
}

// Kills the address-book service's processes on this test's own bus, as a
// crash would; the bus starts them again when they are next asked for.
int killAddressBookService() {
  GObjectPtr<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
  GVariant* names = bus ? callBus(bus.get(), "ListNames", nullptr, "(as)") : nullptr;
  if (!names) return 0;
  int killed = 0;
  GVariantIter* iterator = nullptr;
  g_variant_get(names, "(as)", &iterator);
  const gchar* name = nullptr;
  while (g_variant_iter_loop(iterator, "&s", &name)) {
    const bool isService = std::any_of(std::begin(kAddressBookServicePrefixes), std::end(kAddressBookServicePrefixes),
                                       [name](const char* prefix) { return g_str_has_prefix(name, prefix); });
    GVariant* reply =
        isService ? callBus(bus.get(), "GetConnectionUnixProcessID", g_variant_new("(s)", name), "(u)") : nullptr;
    if (!reply) continue;
    guint32 processId = 0;
    g_variant_get(reply, "(u)", &processId);
    g_variant_unref(reply);
    if (::kill(static_cast<pid_t>(processId), SIGKILL) == 0) ++killed;
  }
  g_variant_iter_free(iterator);
  g_variant_unref(names);
  return killed;
}

class EvolutionTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kSkipWithoutServices()) GTEST_SKIP() << kEvolutionServicesMissing;
  }
};

TEST_F(EvolutionTargetTest, PublishesReplacesAndRemovesInTheSystemBook) {
  if (rerunCurrentTestIn(SessionBus::Private)) return;
  std::unique_ptr<PublishTarget> target = makeEvolutionTarget(QStringLiteral("system"));
  const ContactSnapshot contact = fullContact();

  ASSERT_EQ(target->publish(contact).toStdString(), "");
  BookReader reader;
  ASSERT_TRUE(reader.isOpen());
  {
    GObjectPtr<EContact> stored = reader.protectionContact();
    ASSERT_TRUE(stored);
    EXPECT_STREQ(static_cast<const char*>(e_contact_get_const(stored.get(), E_CONTACT_FULL_NAME)), "Ringeplagvern");
    expectSameNumbers(stored.get(), contact.numbers);
    EXPECT_EQ(iconBytes(stored.get()), kIcon);
  }

  const ContactSnapshot smaller{contact.name, {contact.numbers[1]}, {}};
  ASSERT_EQ(target->publish(smaller).toStdString(), "");
  {
    GObjectPtr<EContact> stored = reader.protectionContact();
    ASSERT_TRUE(stored);
    expectSameNumbers(stored.get(), smaller.numbers);
    EXPECT_TRUE(iconBytes(stored.get()).isEmpty());
    EXPECT_EQ(reader.countNamed("Ringeplagvern"), 1) << "replaced in place, not added beside";
  }

  ASSERT_EQ(target->remove().toStdString(), "");
  bool notFound = false;
  EXPECT_FALSE(reader.protectionContact(&notFound));
  EXPECT_TRUE(notFound);
  EXPECT_EQ(target->remove().toStdString(), "") << "nothing there is no failure";
}

TEST_F(EvolutionTargetTest, AddsAgainWhenTheContactWasDeletedElsewhere) {
  if (rerunCurrentTestIn(SessionBus::Private)) return;
  std::unique_ptr<PublishTarget> target = makeEvolutionTarget(QString());
  ASSERT_EQ(target->publish(fullContact()).toStdString(), "");
  std::unique_ptr<PublishTarget> otherProgram = makeEvolutionTarget(QString());
  ASSERT_EQ(otherProgram->remove().toStdString(), "");

  const ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {{"90000000", "Ny Firma AS"}}, {}};
  ASSERT_EQ(target->publish(contact).toStdString(), "");
  GObjectPtr<EContact> stored = BookReader().protectionContact();
  ASSERT_TRUE(stored);
  expectSameNumbers(stored.get(), contact.numbers);
}

TEST_F(EvolutionTargetTest, KeepsPublishingAfterTheServiceRestarts) {
  if (rerunCurrentTestIn(SessionBus::Private)) return;
  std::unique_ptr<PublishTarget> target = makeEvolutionTarget(QString());
  ASSERT_EQ(target->publish(fullContact()).toStdString(), "");
  ASSERT_GT(killAddressBookService(), 0);

  const ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {{"90000001", "Etter omstart AS"}}, {}};
  ASSERT_EQ(target->publish(contact).toStdString(), "") << "the open book lost its service; a fresh one is used";
  GObjectPtr<EContact> stored = BookReader().protectionContact();
  ASSERT_TRUE(stored);
  expectSameNumbers(stored.get(), contact.numbers);
}

TEST_F(EvolutionTargetTest, NamedBookIsFoundByNameOnceItExists) {
  if (rerunCurrentTestIn(SessionBus::Private)) return;
  std::unique_ptr<PublishTarget> target = makeEvolutionTarget(QStringLiteral("Telefonvern"));
  const QString failure = target->publish(fullContact());
  EXPECT_TRUE(failure.contains(QStringLiteral("ingen adressebok som heter «Telefonvern»"))) << failure.toStdString();
  EXPECT_TRUE(BookReader().protectionContact() == nullptr) << "nothing written to the system book instead";

  createLocalBook("Telefonvern");
  ASSERT_EQ(target->publish(fullContact()).toStdString(), "") << "the next save tries again";
  GObjectPtr<EContact> stored = BookReader(QStringLiteral("Telefonvern")).protectionContact();
  ASSERT_TRUE(stored);
  expectSameNumbers(stored.get(), fullContact().numbers);
}

TEST_F(EvolutionTargetTest, TwoBooksOfTheSameNameAreAskedToBeToldApart) {
  if (rerunCurrentTestIn(SessionBus::Private)) return;
  createLocalBook("Jobb");
  createLocalBook("Jobb");
  const QString failure = makeEvolutionTarget(QStringLiteral("Jobb"))->publish(fullContact());
  EXPECT_TRUE(failure.contains(QStringLiteral("flere adressebøker som heter «Jobb»"))) << failure.toStdString();
  EXPECT_FALSE(failure.contains('\n'));
}

TEST_F(EvolutionTargetTest, ServiceThatCannotBeReachedIsOneClearMessageQuickly) {
  if (rerunCurrentTestIn(SessionBus::Unreachable)) return;
  std::unique_ptr<PublishTarget> target = makeEvolutionTarget(QString());
  QElapsedTimer clock;
  clock.start();
  const QString publishFailure = target->publish(fullContact());
  const QString removeFailure = target->remove();

  EXPECT_LT(clock.elapsed(), 5000);
  for (const QString& failure : {publishFailure, removeFailure}) {
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Evolution Data Server kan ikke nås"))) << failure.toStdString();
    EXPECT_FALSE(failure.contains('\n')) << failure.toStdString();
  }
}

}  // namespace
}  // namespace publish::evolution
