#pragma once
// The process's peak resident memory, for tests and benchmarks that bound what
// hostile input may cost. Linux only; any thread.

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

}  // namespace rp::test
