#include "publish/evolution/eds_contact.h"

namespace publish::evolution {

namespace {

constexpr char kNumberAttribute[] = "TEL";
constexpr char kLabelAttribute[] = "X-ABLabel";
constexpr char kIconMimeType[] = "image/png";

void setText(EContact* contact, EContactField field, const QString& text) {
  e_contact_set(contact, field, text.toUtf8().constData());
}

void setName(EContact* contact, const QString& name) {
  const QByteArray utf8 = name.toUtf8();
  setText(contact, E_CONTACT_FULL_NAME, name);
  setText(contact, E_CONTACT_ORG, name);
  EContactName* structured = e_contact_name_new();
  structured->family = g_strdup(utf8.constData());
  e_contact_set(contact, E_CONTACT_NAME, structured);
  e_contact_name_free(structured);
}

void setIcon(EContact* contact, const QByteArray& png) {
  if (png.isEmpty()) return;
  EContactPhoto* photo = e_contact_photo_new();
  photo->type = E_CONTACT_PHOTO_TYPE_INLINED;
  e_contact_photo_set_inlined(photo, reinterpret_cast<const guchar*>(png.constData()), static_cast<gsize>(png.size()));
  e_contact_photo_set_mime_type(photo, kIconMimeType);
  e_contact_set(contact, E_CONTACT_PHOTO, photo);
  e_contact_photo_free(photo);
}

// Attributes are prepended, last number first: appending walks the whole list
// each time, which for ten thousand numbers costs more than the write itself.
void prependNumber(EVCard* card, int index, const LabelledNumber& number) {
  const QByteArray group = "item" + QByteArray::number(index + 1);
  EVCardAttribute* label = e_vcard_attribute_new(group.constData(), kLabelAttribute);
  e_vcard_add_attribute_with_value(card, label, number.label.toUtf8().constData());
  EVCardAttribute* tel = e_vcard_attribute_new(group.constData(), kNumberAttribute);
  e_vcard_add_attribute_with_value(card, tel, number.number.toUtf8().constData());
}

}  // namespace

GObjectPtr<EContact> makeEdsContact(const ContactSnapshot& contact) {
  GObjectPtr<EContact> edsContact(e_contact_new());
  EVCard* card = E_VCARD(edsContact.get());
  for (int index = static_cast<int>(contact.numbers.size()) - 1; index >= 0; --index) {
    prependNumber(card, index, contact.numbers[static_cast<std::size_t>(index)]);
  }
  e_contact_set(edsContact.get(), E_CONTACT_UID, kProtectionContactUid);
  setName(edsContact.get(), contact.name);
  setIcon(edsContact.get(), contact.iconPng);
  return edsContact;
}

}  // namespace publish::evolution
