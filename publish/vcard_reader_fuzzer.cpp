// Feeds arbitrary bytes to the reader of imported numbers, then publishes what
// it read as one card: neither step may crash, no number read may be empty,
// and no line of the written card may pass the fold width.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/addressbook/vcard_format.h"
#include "publish/vcard_reader.h"
#include "publish/vcard_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  publish::ContactSnapshot contact{QStringLiteral("Ringeplagvern"), publish::numbersFromVCards(bytes), {}};
  for (const publish::LabelledNumber& number : contact.numbers)
    if (number.number.isEmpty()) std::abort();
  const std::string card = publish::vCardForContact(contact);
  std::size_t lineStart = 0;
  for (std::size_t end = card.find("\r\n"); end != std::string::npos; end = card.find("\r\n", lineStart)) {
    if (end - lineStart > ab::vcard::kFoldWidth) std::abort();
    lineStart = end + 2;
  }
  return 0;
}
