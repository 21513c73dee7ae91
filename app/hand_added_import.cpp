#include "app/hand_added_import.h"

#include <QSet>

#include "app/hand_added_number.h"
#include "numberlist/contact.h"

namespace app {

namespace {

// Every number the record store holds, downloaded or added by hand.
QSet<QString> storedNumbers() {
  QSet<QString> numbers;
  const std::optional<numberlist::Contact::List> records = numberlist::Contact::findAll();
  if (!records) return numbers;
  for (const fnd::Ref<numberlist::Contact>& record : *records)
    if (const fnd::Ref<fnd::String> number = record->phoneNumber()) numbers.insert(number->toQString());
  return numbers;
}

}  // namespace

HandAddedImport storeHandAddedNumbers(const publish::VCardNumbers& read) {
  HandAddedImport result;
  result.cardsWithoutNumber = read.cardsWithoutNumber;
  QSet<QString> known = storedNumbers();
  for (const publish::LabelledNumber& entry : read.numbers) {
    const std::optional<QString> number = acceptedHandAddedNumber(entry.number);
    if (!number) {
      result.refused.push_back(entry);
    } else if (known.contains(*number)) {
      result.alreadyListed.push_back({*number, entry.label});
    } else {
      result.added.push_back(storeHandAddedNumber(*number, entry.label, QString()));
      known.insert(*number);
    }
  }
  return result;
}

}  // namespace app
