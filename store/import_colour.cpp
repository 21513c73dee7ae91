#include "store/import_colour.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/foundation/data.h"
#include "platform/foundation/number.h"
#include "platform/foundation/string_object.h"

namespace store {

namespace {

constexpr double kChannelMaximum = 255.0;
constexpr char kSeparator = ',';
constexpr std::size_t kRgbaComponents = 4;
constexpr std::size_t kRgbComponents = 3;

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<double> numberFrom(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The comma-separated numbers inside the brackets; none when one is not a number.
std::optional<std::vector<double>> componentsBetween(std::string_view inside) {
  std::vector<double> numbers;
  std::size_t start = 0;
  while (true) {
    std::size_t end = std::min(inside.find(kSeparator, start), inside.size());
    std::optional<double> number = numberFrom(inside.substr(start, end - start));
    if (!number) return std::nullopt;
    numbers.push_back(*number);
    if (end == inside.size()) return numbers;
    start = end + 1;
  }
}

double channel(double value) { return std::clamp(value, 0.0, kChannelMaximum) / kChannelMaximum; }

std::uint32_t byteOf(double component) {
  return static_cast<std::uint32_t>(std::lround(std::clamp(component, 0.0, 1.0) * kChannelMaximum));
}

}  // namespace

std::optional<ImportColour> colourFromText(std::string_view text) {
  text = trimmed(text);
  std::size_t open = text.find('(');
  if (open == std::string_view::npos || text.back() != ')') return std::nullopt;
  std::string_view name = trimmed(text.substr(0, open));
  std::size_t expected = name == "rgba" ? kRgbaComponents : name == "rgb" ? kRgbComponents : 0;
  if (expected == 0) return std::nullopt;
  std::optional<std::vector<double>> numbers = componentsBetween(text.substr(open + 1, text.size() - open - 2));
  if (!numbers || numbers->size() != expected) return std::nullopt;
  ImportColour colour{channel((*numbers)[0]), channel((*numbers)[1]), channel((*numbers)[2]), 1.0};
  if (expected == kRgbaComponents) colour.alpha = std::clamp((*numbers)[3], 0.0, 1.0);
  return colour;
}

fnd::Ref<fnd::Object> storedColour(const ImportColour& colour, objectstore::AttributeType type) {
  using objectstore::AttributeType;
  const std::uint32_t argb =
      byteOf(colour.alpha) << 24 | byteOf(colour.red) << 16 | byteOf(colour.green) << 8 | byteOf(colour.blue);
  switch (type) {
    case AttributeType::Integer32:
    case AttributeType::Integer64:
      return fnd::Number::createUnsigned(argb);
    case AttributeType::String: {
      char text[10];
      std::snprintf(text, sizeof text, "#%08x", argb);
      return fnd::String::create(text);
    }
    case AttributeType::Binary: {
      const char bytes[] = {static_cast<char>(byteOf(colour.red)), static_cast<char>(byteOf(colour.green)),
                            static_cast<char>(byteOf(colour.blue)), static_cast<char>(byteOf(colour.alpha))};
      return fnd::Data::create(std::string(bytes, sizeof bytes));
    }
    default:
      return nullptr;
  }
}

}  // namespace store
