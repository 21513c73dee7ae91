#include "publish/evolution/book_connection.h"

#include <QStringList>

#include "publish/localized_text.h"

namespace publish::evolution {

namespace {

constexpr char kSystemBookName[] = "system";
// Not waiting for a remote book to come online: a local book is at once, and a
// remote one that is still connecting takes the write into its offline cache.
constexpr guint32 kDoNotWaitForConnected = static_cast<guint32>(-1);

// The session bus is fetched first, for a plain message when there is none,
// and so that its loss later ends only the publishing, not the application.
Failure reachSessionBus(AsyncCallRunner& runner, std::chrono::milliseconds timeout) {
  GObjectPtr<GAsyncResult> result =
      runner.run(timeout, [](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        g_bus_get(G_BUS_TYPE_SESSION, cancellable, done, data);
      });
  GErrorSlot error;
  GObjectPtr<GDBusConnection> bus(result ? g_bus_get_finish(result.get(), error.out()) : nullptr);
  if (!bus) {
    return publish::localizedText(
               QT_TRANSLATE_NOOP("Localizable",
                                 "Evolution Data Server kan ikke nås, for det er ingen D-Bus-sesjon: %1"))
        .arg(describeCallError(error.get(), timeout));
  }
  g_dbus_connection_set_exit_on_close(bus.get(), FALSE);
  return {};
}

struct Registry {
  GObjectPtr<ESourceRegistry> registry;
  Failure failure;
};

Registry reachRegistry(AsyncCallRunner& runner, std::chrono::milliseconds timeout) {
  GObjectPtr<GAsyncResult> result =
      runner.run(timeout, [](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        e_source_registry_new(cancellable, done, data);
      });
  GErrorSlot error;
  GObjectPtr<ESourceRegistry> registry(result ? e_source_registry_new_finish(result.get(), error.out()) : nullptr);
  if (!registry) {
    return {nullptr, publish::localizedText(QT_TRANSLATE_NOOP("Localizable", "Evolution Data Server kan ikke nås: %1"))
                         .arg(describeCallError(error.get(), timeout))};
  }
  return {std::move(registry), {}};
}

struct FoundSource {
  GObjectPtr<ESource> source;
  Failure failure;
};

FoundSource findNamedSource(ESourceRegistry* registry, const QString& addressBook) {
  const QByteArray wanted = addressBook.toUtf8();
  if (ESource* byUid = e_source_registry_ref_source(registry, wanted.constData())) {
    if (e_source_has_extension(byUid, E_SOURCE_EXTENSION_ADDRESS_BOOK)) return {GObjectPtr<ESource>(byUid), {}};
    g_object_unref(byUid);
  }
  GList* books = e_source_registry_list_sources(registry, E_SOURCE_EXTENSION_ADDRESS_BOOK);
  GObjectPtr<ESource> match;
  QStringList matchingUids;
  for (GList* item = books; item; item = item->next) {
    ESource* source = E_SOURCE(item->data);
    if (QString::fromUtf8(e_source_get_display_name(source)) != addressBook) continue;
    matchingUids << QString::fromUtf8(e_source_get_uid(source));
    match.reset(E_SOURCE(g_object_ref(source)));
  }
  g_list_free_full(books, g_object_unref);
  if (matchingUids.isEmpty()) {
    return {nullptr, publish::localizedText(
                         QT_TRANSLATE_NOOP("Localizable", "Evolution Data Server har ingen adressebok som heter «%1»"))
                         .arg(addressBook)};
  }
  if (matchingUids.size() > 1) {
    return {nullptr,
            publish::localizedText(
                QT_TRANSLATE_NOOP(
                    "Localizable",
                    "Evolution Data Server har flere adressebøker som heter «%1»; oppgi en av UID-ene i stedet: %2"))
                .arg(addressBook, matchingUids.join(QStringLiteral(", ")))};
  }
  return {std::move(match), {}};
}

FoundSource findSystemSource(ESourceRegistry* registry) {
  GObjectPtr<ESource> source(e_source_registry_ref_builtin_address_book(registry));
  if (!source)
    return {nullptr, publish::localizedText(
                         QT_TRANSLATE_NOOP("Localizable", "Evolution Data Server har ingen systemadressebok"))};
  return {std::move(source), {}};
}

FoundSource findSource(ESourceRegistry* registry, const QString& addressBook) {
  FoundSource found =
      isSystemAddressBook(addressBook) ? findSystemSource(registry) : findNamedSource(registry, addressBook);
  if (found.source && !e_source_get_enabled(found.source.get())) {
    // A switched-off book is hidden from the dialer, so the contact would not help there.
    return {nullptr, publish::localizedText(
                         QT_TRANSLATE_NOOP("Localizable", "Adresseboka «%1» er slått av i Evolution Data Server"))
                         .arg(QString::fromUtf8(e_source_get_display_name(found.source.get())))};
  }
  return found;
}

}  // namespace

bool isSystemAddressBook(const QString& addressBook) {
  return addressBook.isEmpty() || addressBook == QLatin1String(kSystemBookName);
}

QString describeCallError(const GError* error, std::chrono::milliseconds timeout) {
  if (!error || isTimeout(error)) {
    return publish::localizedText(QT_TRANSLATE_NOOP("Localizable", "svarte ikke innen %1 sekunder"))
        .arg(std::chrono::duration_cast<std::chrono::seconds>(timeout).count());
  }
  return QString::fromUtf8(error->message);
}

OpenedBook openBook(AsyncCallRunner& runner, const QString& addressBook, std::chrono::milliseconds timeout) {
  if (Failure failure = reachSessionBus(runner, timeout); !failure.isEmpty()) return {nullptr, failure};
  Registry registry = reachRegistry(runner, timeout);
  if (!registry.registry) return {nullptr, registry.failure};
  FoundSource found = findSource(registry.registry.get(), addressBook);
  if (!found.source) return {nullptr, found.failure};

  ESource* source = found.source.get();
  GObjectPtr<GAsyncResult> result =
      runner.run(timeout, [source](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        e_book_client_connect(source, kDoNotWaitForConnected, cancellable, done, data);
      });
  GErrorSlot error;
  EClient* client = result ? e_book_client_connect_finish(result.get(), error.out()) : nullptr;
  if (!client) {
    return {nullptr,
            publish::localizedText(
                QT_TRANSLATE_NOOP("Localizable", "Adresseboka «%1» i Evolution Data Server kan ikke åpnes: %2"))
                .arg(QString::fromUtf8(e_source_get_display_name(source)), describeCallError(error.get(), timeout))};
  }
  return {GObjectPtr<EBookClient>(E_BOOK_CLIENT(client)), {}};
}

}  // namespace publish::evolution
