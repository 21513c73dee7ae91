#include "app/hand_added_number.h"

#include "app/localizable.h"
#include "store/record_store.h"

namespace app {

namespace {

// A phone number needs more UTF-16 units than this, spaces not counted.
constexpr qsizetype kShortestRefusedNumber = 3;

fnd::Ref<fnd::String> toString(const QString& text) { return fnd::String::fromQString(text); }

}  // namespace

std::optional<QString> acceptedHandAddedNumber(const QString& typed) {
  QString number = typed;
  number.remove(u' ');
  if (number.size() <= kShortestRefusedNumber) return std::nullopt;
  return number;
}

QString handAddedNumberRefusal() { return Localizable::tr("Du må fylle inn nummer som har minimum 4 tall!"); }

fnd::Ref<numberlist::Contact> storeHandAddedNumber(const QString& number, const QString& firm,
                                                   const QString& homepage) {
  const fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
  record->setPhoneNumber(toString(number).get());
  record->setFirm(toString(firm.isEmpty() ? Localizable::tr("Ukjent") : firm).get());
  record->setUrl(toString(homepage).get());
  record->setCategory(toString(Localizable::tr("Din kontakt")).get());
  record->setManualAdd(fnd::Number::yes());
  store::StoreSaving::save(store::StoreContext::defaultContext());
  return record;
}

}  // namespace app
