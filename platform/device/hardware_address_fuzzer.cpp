// Feeds arbitrary text to the hardware-address formatter: it must either
// refuse it or answer six upper-case hex pairs joined by colons.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/device/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto address = device::formatHardwareAddress(text);
  if (!address) return 0;
  if (address->size() != 17) std::abort();
  for (std::size_t index = 0; index < address->size(); ++index) {
    const char character = (*address)[index];
    const bool valid = index % 3 == 2 ? character == ':'
                                      : std::isxdigit(static_cast<unsigned char>(character)) &&
                                            !std::islower(static_cast<unsigned char>(character));
    if (!valid) std::abort();
  }
  return 0;
}
