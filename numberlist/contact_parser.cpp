#include "numberlist/contact_parser.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "numberlist/number_list_format.h"
#include "platform/dispatch/block_thread.h"
#include "platform/dispatch/main_thread.h"
#include "platform/foundation/localization.h"
#include "store/record_store.h"
#include "store/store_context.h"

namespace numberlist {

namespace {

// The first error of a save that runs on the store's queues, for the report
// on the main thread after it.
class FirstSaveFailure {
 public:
  void keep(const fnd::Error& error) {
    std::lock_guard lock(m_mutex);
    if (!m_error) m_error = error;
  }
  std::optional<fnd::Error> error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
  }

 private:
  mutable std::mutex m_mutex;
  std::optional<fnd::Error> m_error;
};

}  // namespace

std::shared_ptr<ContactParser> ContactParser::initWithDelegate(IParseContactsDelegate* delegate) {
  return std::shared_ptr<ContactParser>(new ContactParser(delegate));
}

fnd::Error ContactParser::failureError() {
  return fnd::Error::withDescription(std::string(kErrorDomain), kErrorCode, fnd::localizedString(kErrorText));
}

fnd::Error ContactParser::saveFailedError(const fnd::Error& cause) {
  return fnd::Error::withDescription(std::string(kErrorDomain), kSaveFailedCode,
                                     fnd::localizedString(kSaveFailedText) + ": " + cause.localizedDescription());
}

void ContactParser::startParsingContactsInArray(fnd::Ref<fnd::Array> items) {
  // Written once by the save block, read once by the completion after it.
  auto result = std::make_shared<Contact::List>();
  store::RecordStore::saveInBackgroundWithBlock(
      [items, result](const store::ContextPtr& context) {
        // Decide on the items before touching the stored list, so a list
        // that gives no phone number at all (none of its items, or every
        // number of the wrong type) leaves the stored one exactly as it was.
        if (!items || std::none_of(items->begin(), items->end(), numberlist::givesPhoneNumber)) return;
        if (auto downloaded = Contact::findAllWithPredicate(Contact::downloadedPredicate(), context)) {
          for (const fnd::Ref<Contact>& record : *downloaded) record->deleteInContext(context);
        }
        for (fnd::Object* item : *items) {
          if (!numberlist::isListItem(item)) continue;
          fnd::Ref<Contact> record = Contact::createInContext(context);
          numberlist::fillRecordFromItem(*record, static_cast<fnd::Dictionary&>(*item));
          result->push_back(std::move(record));
        }
      },
      [self = shared_from_this(), result] {
        if (result->empty()) {
          self->respondDidFaiParsingWithErrorToDelegate(failureError());
          return;
        }
        // The list counts as updated only once it is in the file: a save
        // that fails (a full disk, a file that cannot be written) is reported
        // as the failure it is, so the old list is not taken for the new one.
        auto failure = std::make_shared<FirstSaveFailure>();
        store::StoreSaving::saveInBackgroundErrorHandler(
            store::StoreContext::defaultContext(), [failure](const fnd::Error& error) { failure->keep(error); },
            [self, result, failure] {
              if (std::optional<fnd::Error> error = failure->error()) {
                self->respondDidFaiParsingWithErrorToDelegate(saveFailedError(*error));
              } else {
                self->respondDidFinishParsingContactsToDelegate(*result);
              }
              // This runs on the main thread; letting go of a whole list's
              // records takes longer than a frame, so they go beside it.
              dispatch::backgroundQueue().async([records = std::move(*result)] {});
            });
      });
}

void ContactParser::respondDidFinishParsingContactsToDelegate(const Contact::List& records) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFinishParsingContactsInArray(records); }, true);
}

void ContactParser::respondDidFaiParsingWithErrorToDelegate(const fnd::Error& error) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFailParsingWithError(error); }, true);
}

}  // namespace numberlist
