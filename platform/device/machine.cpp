#include "platform/device/machine.h"

#include <net/if.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <mutex>
#include <sstream>

namespace device {

namespace {

constexpr const char* kIdentifierVariable = "RP_MACHINE_IDENTIFIER";
constexpr double kHertzPerKilohertz = 1e3;
constexpr double kHertzPerMegahertz = 1e6;
constexpr std::uint64_t kBytesPerKilobyte = 1024;
constexpr std::size_t kHardwareAddressLength = 6;

std::mutex overrideMutex;
std::optional<std::string> identifierOverride;  // guarded by overrideMutex

std::uint32_t saturated(double value) {
  if (!(value > 0)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<std::uint32_t>::max()))
    return std::numeric_limits<std::uint32_t>::max();
  return static_cast<std::uint32_t>(value);
}

// The first line of a small system file, without trailing NULs or spaces.
std::optional<std::string> firstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) return std::nullopt;
  while (!line.empty() && (line.back() == '\0' || std::isspace(static_cast<unsigned char>(line.back()))))
    line.pop_back();
  return line;
}

// The number after "<key>" and a colon in a "key: value" file such as /proc/meminfo.
std::optional<double> keyedNumber(const std::string& path, const std::string& key) {
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    if (name != key) continue;
    std::istringstream value(line.substr(colon + 1));
    double number = 0;
    if (value >> number) return number;
  }
  return std::nullopt;
}

std::optional<double> fileNumber(const std::string& path) {
  const auto line = firstLine(path);
  if (!line) return std::nullopt;
  std::istringstream value(*line);
  double number = 0;
  if (value >> number) return number;
  return std::nullopt;
}

}  // namespace

std::string machineIdentifier() {
  if (const char* variable = std::getenv(kIdentifierVariable); variable && *variable) return variable;
  {
    std::lock_guard lock(overrideMutex);
    if (identifierOverride) return *identifierOverride;
  }
  utsname name{};
  if (uname(&name) != 0) return {};
  return name.machine;
}

void setMachineIdentifierOverride(std::optional<std::string> identifier) {
  std::lock_guard lock(overrideMutex);
  identifierOverride = std::move(identifier);
}

std::string hardwareModel() {
  for (const char* path : {"/sys/class/dmi/id/product_name", "/proc/device-tree/model"}) {
    if (auto model = firstLine(path); model && !model->empty()) return *model;
  }
  return {};
}

std::uint32_t cpuFrequency() {
  if (auto kilohertz = fileNumber("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"))
    return saturated(*kilohertz * kHertzPerKilohertz);
  if (auto megahertz = keyedNumber("/proc/cpuinfo", "cpu MHz")) return saturated(*megahertz * kHertzPerMegahertz);
  return 0;
}

std::uint32_t busFrequency() { return 0; }

std::uint32_t cpuCount() { return saturated(static_cast<double>(sysconf(_SC_NPROCESSORS_ONLN))); }

std::uint32_t totalMemory() {
  return saturated(static_cast<double>(sysconf(_SC_PHYS_PAGES)) * static_cast<double>(sysconf(_SC_PAGESIZE)));
}

std::uint32_t userMemory() {
  if (auto kilobytes = keyedNumber("/proc/meminfo", "MemAvailable")) return saturated(*kilobytes * kBytesPerKilobyte);
  return 0;
}

std::uint32_t maxSocketBufferSize() {
  const double receive = fileNumber("/proc/sys/net/core/rmem_max").value_or(0);
  const double send = fileNumber("/proc/sys/net/core/wmem_max").value_or(0);
  return saturated(std::max(receive, send));
}

std::optional<DiskSpace> diskSpace(const std::string& path) {
  struct statvfs figures {};
  if (statvfs(path.c_str(), &figures) != 0) return std::nullopt;
  return DiskSpace{static_cast<std::uint64_t>(figures.f_blocks) * figures.f_frsize,
                   static_cast<std::uint64_t>(figures.f_bavail) * figures.f_frsize};
}

std::optional<std::string> hardwareAddress(const std::string& interfaceName) {
  // The name is checked against the kernel's own list before it becomes part
  // of a path, so no name can reach outside /sys/class/net.
  if (interfaceName.find('/') != std::string::npos || if_nametoindex(interfaceName.c_str()) == 0) {
    std::puts("Error: if_nametoindex error");
    return std::nullopt;
  }
  const auto text = firstLine("/sys/class/net/" + interfaceName + "/address");
  auto address = text ? formatHardwareAddress(*text) : std::nullopt;
  if (!address) std::puts("Error: no hardware address");
  return address;
}

std::optional<std::string> formatHardwareAddress(const std::string& kernelText) {
  // Exactly six pairs of hex digits joined by colons; nothing before or after.
  constexpr std::size_t kTextLength = kHardwareAddressLength * 3 - 1;
  if (kernelText.size() != kTextLength) return std::nullopt;
  std::string formatted = kernelText;
  for (std::size_t index = 0; index < kTextLength; ++index) {
    const bool separator = index % 3 == 2;
    const unsigned char character = static_cast<unsigned char>(kernelText[index]);
    if (separator ? character != ':' : !std::isxdigit(character)) return std::nullopt;
    formatted[index] = static_cast<char>(std::toupper(character));
  }
  return formatted;
}

}  // namespace device
