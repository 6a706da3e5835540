// Turns a failed system call, or a port that cannot be had, into one sentence
// that says what went wrong and how to fix it, so every backend words its
// errors the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace portio {

// `action` says what was tried, e.g. "open /dev/parport0".
std::string errnoMessage(const std::string& action, int error);

// The kernel lists no parallel port at `base`; `listed` holds the bases it
// does list (empty when the parport driver is not loaded at all).
std::string noPortMessage(std::uint32_t base, const std::vector<std::uint32_t>& listed);

// Registering on the port failed because others are registered on it. Each
// holder is a description such as "the lp printer driver (lp0)".
std::string portHeldMessage(std::uint32_t base, const std::string& device,
                            const std::vector<std::string>& holders);

// Why the direct way was not tried: `holders` (as for portHeldMessage) are
// registered on the port, and writing behind their back would fight them.
std::string directNotTriedMessage(const std::vector<std::string>& holders);

// Nothing answers at `base` when its registers are read directly.
std::string emptyBusMessage(std::uint32_t base);

// Another Tenvaro holds the lock on `port` (e.g. "the parallel port at
// 0x378"); `pid` is 0 when it is not known.
std::string inUseMessage(const std::string& port, long pid);

// "0x378"
std::string hexAddress(std::uint32_t address);

} // namespace portio
