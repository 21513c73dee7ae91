// The contact as Evolution Data Server is handed it: the vCard text it makes
// is parsed back by the client library's own parser and compared field by field.
#include "publish/evolution/eds_contact.h"

#include <gtest/gtest.h>

#include <QString>

#include "publish/evolution/read_back.h"

namespace publish::evolution {
namespace {

GObjectPtr<EContact> throughVCardText(const ContactSnapshot& snapshot) {
  GObjectPtr<EContact> written = makeEdsContact(snapshot);
  GCharPtr text(e_vcard_to_string(E_VCARD(written.get()), EVC_FORMAT_VCARD_30));
  return GObjectPtr<EContact>(e_contact_new_from_vcard(text.get()));
}

ContactSnapshot awkwardContact() {
  return {QStringLiteral("Ringeplagvern"),
          {{QStringLiteral("+47 22 33 44 55"), QStringLiteral("Blåbær Ærlig Øst AS")},
           {QStringLiteral("81549300"), QStringLiteral("Salg, Service; og \\ Co")},
           {QStringLiteral("004799887766"), QString(200, QChar(u'å'))},
           {QStringLiteral("22 11"), QStringLiteral("Linje\nto")}},
          QByteArray("\x89PNG\r\n\x1a\n\0\x01\xff", 11)};
}

TEST(EdsContact, EveryNumberKeepsItsFirmThroughTheVCardText) {
  const ContactSnapshot snapshot = awkwardContact();
  GObjectPtr<EContact> parsed = throughVCardText(snapshot);

  test::expectSameNumbers(parsed.get(), snapshot.numbers);
}

TEST(EdsContact, NumbersStayInTheListsOrder) {
  ContactSnapshot snapshot{QStringLiteral("Ringeplagvern"), {}, {}};
  for (int i = 0; i < 50; ++i) snapshot.numbers.push_back({QString::number(20000000 + i), QStringLiteral("Firma")});
  GObjectPtr<EContact> contact = makeEdsContact(snapshot);

  auto* tels = static_cast<GList*>(e_contact_get(contact.get(), E_CONTACT_TEL));
  int index = 0;
  for (GList* item = tels; item; item = item->next, ++index) {
    EXPECT_EQ(QString::fromUtf8(static_cast<const char*>(item->data)), snapshot.numbers[index].number);
  }
  EXPECT_EQ(index, 50);
  g_list_free_full(tels, g_free);
}

TEST(EdsContact, CarriesTheFixedUidNameAndInlineIcon) {
  const ContactSnapshot snapshot = awkwardContact();
  GObjectPtr<EContact> parsed = throughVCardText(snapshot);

  EXPECT_STREQ(static_cast<const char*>(e_contact_get_const(parsed.get(), E_CONTACT_UID)), kProtectionContactUid);
  EXPECT_STREQ(static_cast<const char*>(e_contact_get_const(parsed.get(), E_CONTACT_FULL_NAME)), "Ringeplagvern");
  EXPECT_STREQ(static_cast<const char*>(e_contact_get_const(parsed.get(), E_CONTACT_ORG)), "Ringeplagvern");

  auto* photo = static_cast<EContactPhoto*>(e_contact_get(parsed.get(), E_CONTACT_PHOTO));
  ASSERT_NE(photo, nullptr);
  ASSERT_EQ(photo->type, E_CONTACT_PHOTO_TYPE_INLINED);
  gsize length = 0;
  const guchar* data = e_contact_photo_get_inlined(photo, &length);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length)), snapshot.iconPng);
  EXPECT_STREQ(e_contact_photo_get_mime_type(photo), "image/png");
  e_contact_photo_free(photo);
}

TEST(EdsContact, WithoutIconOrNumbersHasNeither) {
  GObjectPtr<EContact> parsed = throughVCardText({QStringLiteral("Ringeplagvern"), {}, {}});

  EXPECT_EQ(e_contact_get(parsed.get(), E_CONTACT_PHOTO), nullptr);
  EXPECT_TRUE(test::labelledNumbers(parsed.get()).empty());
  EXPECT_STREQ(static_cast<const char*>(e_contact_get_const(parsed.get(), E_CONTACT_UID)), kProtectionContactUid);
}

}  // namespace
}  // namespace publish::evolution
