#pragma once
// The list parser's protocols: IParseContacts is how its owner drives it,
// IParseContactsDelegate how it reports. Reports arrive on the main thread.

#include "numberlist/contact.h"
#include "platform/foundation/containers.h"
#include "platform/foundation/error.h"

namespace numberlist {

class IParseContactsDelegate {
 public:
  virtual ~IParseContactsDelegate() = default;
  // The new records (they belong to a background context: use them for their
  // count only; read records through the default context, which already
  // holds them).
  virtual void didFinishParsingContactsInArray(const numberlist::Contact::List& records) = 0;
  virtual void didFailParsingWithError(const fnd::Error& error) = 0;
};

class IParseContacts {
 public:
  virtual ~IParseContacts() = default;
  // Replaces the stored downloaded records with records made from `items`
  // (the list's item dictionaries; may be null); returns at once.
  virtual void startParsingContactsInArray(fnd::Ref<fnd::Array> items) = 0;
  virtual void respondDidFinishParsingContactsToDelegate(const numberlist::Contact::List& records) = 0;
  virtual void respondDidFaiParsingWithErrorToDelegate(const fnd::Error& error) = 0;
  virtual IParseContactsDelegate* theDelegate() const = 0;
  virtual void setTheDelegate(IParseContactsDelegate* delegate) = 0;
};

}  // namespace numberlist
