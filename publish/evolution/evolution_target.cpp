#include "publish/evolution/evolution_target.h"

#include <functional>
#include <optional>

#include "publish/evolution/async_call_runner.h"
#include "publish/evolution/book_connection.h"
#include "publish/evolution/eds_contact.h"
#include "publish/localized_text.h"

namespace publish::evolution {

namespace {

// The first connect may start the service and its address-book factory.
constexpr std::chrono::seconds kConnectTimeout{15};
// A write of a contact with tens of thousands of numbers.
constexpr std::chrono::seconds kWriteTimeout{60};
constexpr const char* kNotStored =
    QT_TRANSLATE_NOOP("Localizable", "Ringeplagvern-kontakten kunne ikke lagres i %1: %2");
constexpr const char* kNotRemoved =
    QT_TRANSLATE_NOOP("Localizable", "Ringeplagvern-kontakten kunne ikke fjernes fra %1: %2");

class EvolutionTarget final : public PublishTarget {
 public:
  explicit EvolutionTarget(const QString& addressBook) : m_addressBook(addressBook) {}

  QString displayName() const override {
    if (isSystemAddressBook(m_addressBook))
      return publish::localizedText(QT_TRANSLATE_NOOP("Localizable", "Evolution Data Server (systemadresseboka)"));
    return publish::localizedText(QT_TRANSLATE_NOOP("Localizable", "Evolution Data Server «%1»")).arg(m_addressBook);
  }

  Failure publish(const ContactSnapshot& contact) override {
    return onOpenBook([&] { return write(contact); });
  }

  Failure remove() override {
    return onOpenBook([&] { return erase(); });
  }

 private:
  using StartOperation = std::function<void(EBookClient*, GCancellable*, GAsyncReadyCallback, gpointer)>;

  // A book kept open since an earlier save may have lost its service since,
  // when the service was restarted; then the operation runs once more on a
  // fresh connection. Not after a timeout, which a second try would double.
  Failure onOpenBook(const std::function<Failure()>& operation) {
    const bool reusingConnection = m_client != nullptr;
    if (Failure failure = connect(); !failure.isEmpty()) return failure;
    Failure failure = operation();
    if (failure.isEmpty() || !reusingConnection || m_lastFailureTimedOut) return failure;
    if (Failure reconnectFailure = connect(); !reconnectFailure.isEmpty()) return reconnectFailure;
    return operation();
  }

  Failure write(const ContactSnapshot& contact) {
    GErrorSlot error;
    const std::optional<bool> present = isContactPresent(error);
    if (!present) return closeAfter(kNotStored, error.get());
    // Replaced in place, so the contact keeps its UID; added only by the first
    // save, or by one after the person deleted the contact elsewhere.
    GObjectPtr<EContact> edsContact = makeEdsContact(contact);
    EContact* written = edsContact.get();
    GObjectPtr<GAsyncResult> result = run(
        kWriteTimeout, [&](EBookClient* client, GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
          if (*present) {
            e_book_client_modify_contact(client, written, E_BOOK_OPERATION_FLAG_NONE, cancellable, done, data);
          } else {
            e_book_client_add_contact(client, written, E_BOOK_OPERATION_FLAG_NONE, cancellable, done, data);
          }
        });
    const bool stored =
        result && (*present ? e_book_client_modify_contact_finish(m_client.get(), result.get(), error.out())
                            : e_book_client_add_contact_finish(m_client.get(), result.get(), nullptr, error.out()));
    if (!stored) return closeAfter(kNotStored, error.get());
    return {};
  }

  Failure erase() {
    GErrorSlot error;
    const std::optional<bool> present = isContactPresent(error);
    if (!present) return closeAfter(kNotRemoved, error.get());
    if (!*present) return {};
    GObjectPtr<GAsyncResult> result =
        run(kWriteTimeout, [](EBookClient* client, GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
          e_book_client_remove_contact_by_uid(client, kProtectionContactUid, E_BOOK_OPERATION_FLAG_NONE, cancellable,
                                              done, data);
        });
    if (!result || !e_book_client_remove_contact_by_uid_finish(m_client.get(), result.get(), error.out())) {
      return closeAfter(kNotRemoved, error.get());
    }
    return {};
  }

  // The book stays open between saves; a failure closes it, so the next save
  // starts over with a fresh connection and a fresh look-up of the book.
  Failure connect() {
    if (m_client) return {};
    OpenedBook opened = openBook(m_runner, m_addressBook, kConnectTimeout);
    m_client = std::move(opened.client);
    return opened.failure;
  }

  // Runs one operation of the open book; empty when it did not end in time.
  GObjectPtr<GAsyncResult> run(std::chrono::milliseconds timeout, const StartOperation& start) {
    EBookClient* client = m_client.get();
    return m_runner.run(timeout, [&](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
      start(client, cancellable, done, data);
    });
  }

  // Asked by a query rather than told by a failed modify, whose "not found"
  // error differs from one kind of book to the next. Empty when the book did
  // not answer.
  std::optional<bool> isContactPresent(GErrorSlot& error) {
    EBookQuery* query = e_book_query_field_test(E_CONTACT_UID, E_BOOK_QUERY_IS, kProtectionContactUid);
    GCharPtr expression(e_book_query_to_string(query));
    e_book_query_unref(query);
    const char* sexp = expression.get();
    GObjectPtr<GAsyncResult> result = run(
        kWriteTimeout, [sexp](EBookClient* client, GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
          e_book_client_get_contacts_uids(client, sexp, cancellable, done, data);
        });
    GSList* uids = nullptr;
    if (!result || !e_book_client_get_contacts_uids_finish(m_client.get(), result.get(), &uids, error.out())) {
      return std::nullopt;
    }
    const bool present = uids != nullptr;
    g_slist_free_full(uids, g_free);
    return present;
  }

  // `failure` names the place (%1) and the reason (%2).
  Failure closeAfter(const char* failure, const GError* error) {
    m_client.reset();
    m_lastFailureTimedOut = !error || isTimeout(error);
    return publish::localizedText(failure).arg(displayName(), describeCallError(error, kWriteTimeout));
  }

  QString m_addressBook;
  AsyncCallRunner m_runner;
  GObjectPtr<EBookClient> m_client;
  bool m_lastFailureTimedOut = false;
};

}  // namespace

}  // namespace publish::evolution

std::unique_ptr<publish::PublishTarget> makeEvolutionTarget(const QString& addressBook) {
  return std::make_unique<publish::evolution::EvolutionTarget>(addressBook);
}
