#include "tests/support/peak_memory.h"

#include <fstream>
#include <string>

namespace rp::test {

namespace {

constexpr std::uint64_t kBytesPerKilobyte = 1024;
// Written to clear_refs, it sets the peak to the resident memory of now.
constexpr char kResetPeakCommand[] = "5";

// A "Name:   1234 kB" line of /proc/self/status.
std::optional<std::uint64_t> statusField(const std::string& name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(name + ":", 0) == 0) return std::stoull(line.substr(name.size() + 1)) * kBytesPerKilobyte;
  }
  return std::nullopt;
}

}  // namespace

bool resetPeakResidentBytes() {
  std::ofstream clearRefs("/proc/self/clear_refs");
  clearRefs << kResetPeakCommand;
  clearRefs.flush();
  return clearRefs.good();
}

std::optional<std::uint64_t> peakResidentBytes() { return statusField("VmHWM"); }

std::optional<std::uint64_t> residentBytes() { return statusField("VmRSS"); }

}  // namespace rp::test
