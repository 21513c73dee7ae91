#pragma once
// Colour texts of imported data, "rgba(255,0,0,1)": red, green and blue from
// 0 to 255 and alpha from 0 to 1; and the forms a colour is stored in by the
// attribute that receives it. Pure functions, safe on any thread.
#include <optional>
#include <string_view>

#include "platform/foundation/object.h"
#include "platform/objectstore/model.h"

namespace store {

// Components from 0 to 1.
struct ImportColour {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;
  friend bool operator==(const ImportColour&, const ImportColour&) = default;
};

// "rgba(r,g,b,a)" with exactly four numbers, or "rgb(r,g,b)" as an opaque
// colour; none for any other text. Components beyond their range are clamped.
std::optional<ImportColour> colourFromText(std::string_view text);

// The colour as an attribute of `type` holds it: integers 0xAARRGGBB, text
// "#aarrggbb", binary the four bytes red, green, blue, alpha; none for the
// other types, which cannot hold a colour.
fnd::Ref<fnd::Object> storedColour(const ImportColour& colour, objectstore::AttributeType type);

}  // namespace store
