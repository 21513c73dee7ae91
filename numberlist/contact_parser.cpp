#include "numberlist/contact_parser.h"

#include <algorithm>

#include "numberlist/number_list_format.h"
#include "platform/dispatch/main_thread.h"
#include "platform/foundation/localization.h"
#include "store/record_store.h"
#include "store/store_context.h"

using numberlist::Contact;

std::shared_ptr<ContactParser> ContactParser::initWithDelegate(IParseContactsDelegate* delegate) {
  return std::shared_ptr<ContactParser>(new ContactParser(delegate));
}

fnd::Error ContactParser::failureError() {
  return fnd::Error::withDescription(std::string(kErrorDomain), kErrorCode, fnd::localizedString(kErrorText));
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
        // The delegate runs first and already sees the new records in the
        // default context; the file is written right after.
        dispatch::asyncMain([] { store::StoreSaving::save(store::StoreContext::defaultContext()); });
        self->respondDidFinishParsingContactsToDelegate(*result);
      });
}

void ContactParser::respondDidFinishParsingContactsToDelegate(const Contact::List& records) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFinishParsingContactsInArray(records); }, true);
}

void ContactParser::respondDidFaiParsingWithErrorToDelegate(const fnd::Error& error) {
  if (m_delegate) dispatch::performOnMainThread([&] { m_delegate->didFailParsingWithError(error); }, true);
}
