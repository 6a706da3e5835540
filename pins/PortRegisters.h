// The three register bytes of a PC parallel port, as one value.
#pragma once

#include <cstdint>

struct PortRegisters {
    std::uint8_t data = 0;
    std::uint8_t status = 0;
    std::uint8_t control = 0;

    friend bool operator==(const PortRegisters&, const PortRegisters&) = default;
};
