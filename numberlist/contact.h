#pragma once
// Contact: one listed or hand-added phone number, the one record class of the
// application's record store, with the conditions by which records are
// selected. Records belong to their context's queue; see store::Record.
#include <memory>
#include <string_view>

#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"
#include "platform/objectstore/model.h"
#include "store/record.h"

namespace numberlist {

class Contact final : public store::Record<Contact> {
 public:
  static constexpr std::string_view kEntityName = "Contact";
  // The name under which the application's model is kept in the model bundle.
  static constexpr const char* kModelName = "Ringeplagvern";

  // The application's object model: the one entity Contact.
  static std::shared_ptr<const objectstore::ManagedObjectModel> model();
  // Adds the model to the bundle, so the stack's default model holds Contact.
  // Idempotent; runs by itself when the program starts.
  static void registerModel();

  fnd::Ref<fnd::String> firm() const;
  void setFirm(fnd::String* firm);
  fnd::Ref<fnd::String> phoneNumber() const;
  void setPhoneNumber(fnd::String* phoneNumber);
  fnd::Ref<fnd::String> url() const;
  void setUrl(fnd::String* url);
  fnd::Ref<fnd::String> category() const;
  void setCategory(fnd::String* category);
  // A signed 32-bit rank; none for records added by hand.
  fnd::Ref<fnd::Number> position() const;
  void setPosition(fnd::Number* position);
  // Approved; none for records added by hand.
  fnd::Ref<fnd::Number> status() const;
  void setStatus(fnd::Number* status);
  // Added by hand; NO unless set.
  fnd::Ref<fnd::Number> manualAdd() const;
  void setManualAdd(fnd::Number* manualAdd);

  // "manualAdd == 0": downloaded records, including those where it was never set.
  static objectstore::PredicatePtr downloadedPredicate();
  // "status == YES": approved records.
  static objectstore::PredicatePtr approvedPredicate();
  // "position <= %d || manualAdd == YES": within the import count, or added by hand.
  static objectstore::PredicatePtr withinImportCountPredicate(int importCount);
  // "%K like[cd] %@" over phoneNumber: the whole number matches the search text,
  // "*" and "?" being wildcards, case and diacritics ignored.
  static objectstore::PredicatePtr numberSearchPredicate(std::string_view searchText);

  const char* className() const override { return "Contact"; }
};

}  // namespace numberlist
