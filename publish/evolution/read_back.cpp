#include "publish/evolution/read_back.h"

#include <gtest/gtest.h>

#include <map>

#include "publish/evolution/glib_handles.h"

namespace publish::evolution::test {

namespace {

constexpr char kGroupPrefix[] = "item";

}  // namespace

std::vector<LabelledNumber> labelledNumbers(EContact* contact) {
  std::map<int, LabelledNumber> byItem;
  for (GList* item = e_vcard_get_attributes(E_VCARD(contact)); item; item = item->next) {
    auto* attribute = static_cast<EVCardAttribute*>(item->data);
    const QString group = QString::fromUtf8(e_vcard_attribute_get_group(attribute));
    if (!group.startsWith(QLatin1String(kGroupPrefix))) continue;
    const int index = group.mid(static_cast<qsizetype>(sizeof kGroupPrefix - 1)).toInt();
    GCharPtr value(e_vcard_attribute_get_value(attribute));
    const QString name = QString::fromUtf8(e_vcard_attribute_get_name(attribute));
    if (name == QLatin1String("TEL")) byItem[index].number = QString::fromUtf8(value.get());
    if (name == QLatin1String("X-ABLabel")) byItem[index].label = QString::fromUtf8(value.get());
  }
  std::vector<LabelledNumber> numbers;
  for (const auto& [index, number] : byItem) numbers.push_back(number);
  return numbers;
}

void expectSameNumbers(EContact* contact, const std::vector<LabelledNumber>& expected) {
  const std::vector<LabelledNumber> actual = labelledNumbers(contact);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i].number.toStdString(), expected[i].number.toStdString()) << "number " << i;
    EXPECT_EQ(actual[i].label.toStdString(), expected[i].label.toStdString()) << "number " << i;
  }
}

}  // namespace publish::evolution::test
