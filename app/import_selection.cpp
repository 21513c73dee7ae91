#include "app/import_selection.h"

#include "app/constants.h"
#include "app/import_count.h"
#include "platform/defaults/user_defaults.h"

namespace app {

namespace {

constexpr std::int64_t kEveryRecord = -1;

void keepMatching(numberlist::Contact::List& records, const objectstore::PredicatePtr& predicate) {
  std::erase_if(records, [&](const fnd::Ref<numberlist::Contact>& record) {
    return !predicate->evaluateWithObject(record.get());
  });
}

}  // namespace

numberlist::Contact::List selectRecordsForImport(std::int64_t importCount, bool importUnapproved) {
  numberlist::Contact::List records = numberlist::Contact::findAll().value_or(numberlist::Contact::List{});
  // Records added by hand carry no approval, so they leave here unless unapproved numbers are imported.
  if (!importUnapproved) keepMatching(records, numberlist::Contact::approvedPredicate());
  if (importCount != kEveryRecord) {
    keepMatching(records, numberlist::Contact::withinImportCountPredicate(static_cast<int>(importCount)));
  }
  return records;
}

numberlist::Contact::List selectRecordsForImport() {
  const std::int64_t importCount = Device::getCapabilitiesForImport();
  return selectRecordsForImport(importCount, defaults::UserDefaults::standard().boolForKey(ImportApprovedKey));
}

}  // namespace app
