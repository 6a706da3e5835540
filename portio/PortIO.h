// The two byte-wide port operations every register access goes through.
//
// Both take the full I/O address (base plus register offset). Each call
// reaches the selected backend exactly once: nothing is cached or batched.
// The backend is chosen at the first call (see BackendSelector.h).
#pragma once

#include <cstdint>

std::uint8_t DlPortReadPortUchar(std::uint32_t address);
void DlPortWritePortUchar(std::uint32_t address, std::uint8_t value);
