#pragma once
// The machine's identity and hardware figures, from Linux's own sources
// (uname, sysconf, /proc, /sys). Every function may be called from any thread.

#include <cstdint>
#include <optional>
#include <string>

namespace device {

// The machine identifier: $RP_MACHINE_IDENTIFIER when set (so a user can stand
// in any phone model), else what setMachineIdentifierOverride gave, else
// uname's machine field ("x86_64").
std::string machineIdentifier();
// Replaces the identifier for this process; an empty optional restores the default.
void setMachineIdentifierOverride(std::optional<std::string> identifier);

// The hardware model name (the board or product name), "" when unknown.
std::string hardwareModel();

// Figures as unsigned 32-bit values, saturated; 0 when the machine does not tell.
std::uint32_t cpuFrequency();  // Hz, the fastest the first processor runs
std::uint32_t busFrequency();  // Hz; Linux does not report it, so 0
std::uint32_t cpuCount();
std::uint32_t totalMemory();  // bytes
std::uint32_t userMemory();   // bytes available to programs
std::uint32_t maxSocketBufferSize();

struct DiskSpace {
  std::uint64_t total = 0;
  std::uint64_t free = 0;
};
// The file system holding `path`; nullopt when it cannot be asked.
std::optional<DiskSpace> diskSpace(const std::string& path);

// "aa:bb:cc:dd:ee:ff" as the kernel writes it, formatted as six upper-case
// hex pairs; nullopt for any other text.
std::optional<std::string> formatHardwareAddress(const std::string& kernelText);

// The six bytes of the named interface's hardware address as "AA:BB:CC:DD:EE:FF";
// nullopt (and a line on standard output saying why) for an unknown interface.
std::optional<std::string> hardwareAddress(const std::string& interfaceName);

}  // namespace device
