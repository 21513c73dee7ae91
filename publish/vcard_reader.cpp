#include "publish/vcard_reader.h"

#include "platform/addressbook/multi_value.h"
#include "platform/addressbook/properties.h"
#include "platform/addressbook/vcard.h"

namespace publish {

namespace {

QString text(const fnd::Object* value) {
  return value && value->kind() == fnd::ObjectKind::String ? static_cast<const fnd::String*>(value)->toQString()
                                                           : QString();
}

QString firmOf(const ab::Record& card) {
  const QString organisation = text(card.copyValue(ab::kPersonOrganizationProperty).get()).trimmed();
  if (!organisation.isEmpty()) return organisation;
  return text(card.copyCompositeName().get()).trimmed();
}

// Cards of version 4.0 may give a number as a URI ("tel:+47...").
QString plainNumber(QString number) {
  number = number.trimmed();
  if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) number = number.mid(4).trimmed();
  return number;
}

}  // namespace

std::vector<LabelledNumber> numbersFromVCards(std::string_view data) { return readVCardNumbers(data).numbers; }

VCardNumbers readVCardNumbers(std::string_view data) {
  VCardNumbers read;
  for (const fnd::Ref<ab::Record>& card : ab::createPeopleFromVCardRepresentation(data, nullptr)) {
    const fnd::Ref<fnd::Object> stored = card->copyValue(ab::kPersonPhoneProperty);
    const auto* phones = dynamic_cast<const ab::MultiValue*>(stored.get());
    const std::size_t before = read.numbers.size();
    if (phones) {
      const QString firm = firmOf(*card);
      for (const ab::MultiValue::Entry& entry : phones->entries()) {
        const QString number = plainNumber(text(entry.value.get()));
        if (!number.isEmpty()) read.numbers.push_back({number, firm});
      }
    }
    if (read.numbers.size() == before) ++read.cardsWithoutNumber;
  }
  return read;
}

}  // namespace publish
