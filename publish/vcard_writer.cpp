#include "publish/vcard_writer.h"

#include "platform/addressbook/vcard_format.h"

namespace publish {

namespace {

std::string escaped(const QString& text) { return ab::vcard::escapeText(text.toStdString()); }

}  // namespace

std::string vCardForContact(const ContactSnapshot& contact) {
  std::string card;
  const auto line = [&card](std::string_view content) { ab::vcard::appendFoldedLine(card, content); };
  const std::string name = escaped(contact.name);
  line("BEGIN:VCARD");
  line("VERSION:3.0");
  line("PRODID:-//Ringeplagvern//Protection contact//NO");
  line(std::string("UID:") + std::string(kProtectionContactUid));
  // A company card: the name is the organisation, the personal name stays empty.
  line("N:;;;;");
  line("FN:" + name);
  line("ORG:" + name);
  line("X-ABSHOWAS:COMPANY");
  int group = 0;
  for (const LabelledNumber& number : contact.numbers) {
    const std::string item = "item" + std::to_string(++group) + '.';
    line(item + "TEL:" + escaped(number.number));
    line(item + "X-ABLabel:" + escaped(number.label));
  }
  if (!contact.iconPng.isEmpty()) line("PHOTO;ENCODING=b;TYPE=PNG:" + contact.iconPng.toBase64().toStdString());
  line("END:VCARD");
  return card;
}

}  // namespace publish
