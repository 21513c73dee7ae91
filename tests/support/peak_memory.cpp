#include "tests/support/peak_memory.h"

#include <fstream>
#include <string>

namespace rp::test {

namespace {

constexpr std::uint64_t kBytesPerKilobyte = 1024;
// Written to clear_refs, it sets the peak to the resident memory of now.
constexpr char kResetPeakCommand[] = "5";
constexpr const char* kOwnStatus = "/proc/self/status";

std::string statusOf(std::int64_t processId) { return "/proc/" + std::to_string(processId) + "/status"; }

// A "Name:   1234 kB" line of a process's status file.
std::optional<std::uint64_t> statusField(const std::string& statusPath, const std::string& name) {
  std::ifstream status(statusPath);
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

std::optional<std::uint64_t> peakResidentBytes() { return statusField(kOwnStatus, "VmHWM"); }

std::optional<std::uint64_t> residentBytes() { return statusField(kOwnStatus, "VmRSS"); }

std::optional<std::uint64_t> peakResidentBytesOf(std::int64_t processId) {
  return statusField(statusOf(processId), "VmHWM");
}

std::optional<std::uint64_t> residentBytesOf(std::int64_t processId) {
  return statusField(statusOf(processId), "VmRSS");
}

}  // namespace rp::test
