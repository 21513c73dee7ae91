#include "app/number_search.h"

#include "app/localizable.h"
#include "numberlist/contact.h"

namespace app {

namespace {

// A category shorter than this is shown as having none.
constexpr int kShortestCategory = 2;

QString localizedCategory(const fnd::Ref<fnd::String>& category) {
  const QString text = category ? category->toQString() : QString();
  return text.size() < kShortestCategory ? Localizable::tr("Ingen kategori") : text;
}

}  // namespace

QString normalisedSearchText(const QString& typed) {
  QString normalised = typed;
  normalised.remove(u' ');
  return normalised;
}

std::optional<ListedNumber> findListedNumber(const QString& normalised) {
  const fnd::Ref<numberlist::Contact> record =
      numberlist::Contact::findFirstWithPredicate(numberlist::Contact::numberSearchPredicate(normalised.toStdString()));
  const fnd::Ref<fnd::String> firm = record ? record->firm() : nullptr;
  if (!firm) return std::nullopt;
  const fnd::Ref<fnd::String> number = record->phoneNumber();
  return ListedNumber{firm->toQString(),
                      fillFormat(Localizable::tr("%@, %@"),
                                 {number ? number->toQString() : QString(), localizedCategory(record->category())})};
}

}  // namespace app
