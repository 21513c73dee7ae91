#pragma once
// The resident memory of this process, or another, for tests and benchmarks
// that bound what hostile input or a whole cycle may cost. Linux only; any thread.

#include <cstdint>
#include <optional>

namespace rp::test {

// Starts a new measurement: the peak falls back to what is resident now.
// False when the system does not allow it.
bool resetPeakResidentBytes();

// The peak resident memory since the last reset (or the start), if known.
std::optional<std::uint64_t> peakResidentBytes();

// The resident memory now, if known.
std::optional<std::uint64_t> residentBytes();

// The same two figures of another running process, by its id.
std::optional<std::uint64_t> peakResidentBytesOf(std::int64_t processId);
std::optional<std::uint64_t> residentBytesOf(std::int64_t processId);

// A figure above in MiB, as benchmark counters show it; 0 when it is not known.
inline double megabytes(std::optional<std::uint64_t> bytes) {
  constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;
  return bytes ? static_cast<double>(*bytes) / kBytesPerMegabyte : 0;
}

}  // namespace rp::test
