#include "platform/addressbook/people_names.h"

#include <QString>
#include <QStringList>
#include <array>

#include "platform/addressbook/address_book.h"
#include "platform/addressbook/configuration.h"

namespace ab {

namespace {

QString textOf(const Record& person, PropertyID property) {
  const fnd::Ref<fnd::Object> value = person.copyValue(property);
  return value && value->kind() == fnd::ObjectKind::String ? static_cast<const fnd::String&>(*value).toQString()
                                                           : QString();
}

// The key a person sorts under: primary then secondary name, falling back to
// the organisation for people without either.
std::array<QString, 2> sortKey(const Record& person, SortOrdering ordering) {
  QString first = textOf(person, kPersonFirstNameProperty);
  QString last = textOf(person, kPersonLastNameProperty);
  if (first.isEmpty() && last.isEmpty()) return {textOf(person, kPersonOrganizationProperty), QString()};
  if (ordering == SortOrdering::ByLastName) {
    if (last.isEmpty()) return {first, QString()};
    return {last, first};
  }
  if (first.isEmpty()) return {last, QString()};
  return {first, last};
}

}  // namespace

bool personMatchesName(const Record& person, std::string_view query) {
  QStringList words;
  for (PropertyID property : {kPersonFirstNameProperty, kPersonMiddleNameProperty, kPersonLastNameProperty,
                              kPersonNicknameProperty, kPersonOrganizationProperty})
    words += textOf(person, property).split(' ', Qt::SkipEmptyParts);
  const QStringList wanted =
      QString::fromUtf8(query.data(), static_cast<qsizetype>(query.size())).split(' ', Qt::SkipEmptyParts);
  if (wanted.isEmpty()) return false;
  for (const QString& part : wanted) {
    const bool matched = std::any_of(words.begin(), words.end(), [&part](const QString& word) {
      return word.startsWith(part, Qt::CaseInsensitive);
    });
    if (!matched) return false;
  }
  return true;
}

SortOrdering sortOrdering() { return configuration().sortOrdering; }

CompositeNameFormat compositeNameFormat() { return configuration().compositeNameFormat; }

int comparePeopleByName(const Record& a, const Record& b, SortOrdering ordering) {
  const std::array<QString, 2> left = sortKey(a, ordering);
  const std::array<QString, 2> right = sortKey(b, ordering);
  for (std::size_t i = 0; i < left.size(); ++i) {
    const int order = QString::localeAwareCompare(left[i].toCaseFolded(), right[i].toCaseFolded());
    if (order != 0) return order;
  }
  return 0;
}

}  // namespace ab
