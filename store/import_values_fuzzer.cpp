// Colour texts and date patterns come from imported data and the model: any
// bytes must be read or refused without a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <QTimeZone>

#include "store/import_colour.h"
#include "store/import_date.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(bytes), size);
  if (std::optional<store::ImportColour> colour = store::colourFromText(input)) {
    store::storedColour(*colour, objectstore::AttributeType::String);
  }
  // The first line is the pattern, the rest the text.
  std::size_t newline = input.find('\n');
  std::string_view pattern = input.substr(0, newline);
  std::string_view text = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
  store::dateFromText(text, pattern, QTimeZone::utc(), QLocale::c());
  return 0;
}
