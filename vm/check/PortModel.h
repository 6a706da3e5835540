// An independent model of the emulated port and of what a session should
// write to it: pins by the hardware's own rules (data bits straight, control
// bits 0, 1 and 3 inverted on the connector), registers read back the way
// each backend reads them. Knows nothing of the controller's masks.
#pragma once

#include "Scenario.h"

#include <cstdint>
#include <ostream>
#include <vector>

namespace vm {

enum class Way { Ppdev, Direct };

struct RegisterWrite {
    std::uint32_t address;
    std::uint8_t value;
    friend bool operator==(const RegisterWrite&, const RegisterWrite&) = default;
};

std::ostream& operator<<(std::ostream& out, const RegisterWrite& write);

class PortModel {
public:
    PortModel(Way way, std::uint8_t foundData, std::uint8_t foundControl);

    // What a controller found with these registers asks to write: its start,
    // one write per step that moves a line, then the restore.
    std::vector<RegisterWrite> sessionWrites(const std::vector<Step>& steps);

    // What reaches the port for those writes. Through ppdev the kernel passes
    // control bits 0-3 and supplies bits 4-7 itself (`kernelBits`).
    std::vector<RegisterWrite> onTheWire(const std::vector<RegisterWrite>& writes, std::uint8_t kernelBits) const;

    // The level (1 high, 0 low) of `line`'s pin for these register values.
    static int pinLevel(std::uint32_t line, std::uint8_t data, std::uint8_t control);

    static constexpr std::uint32_t kData = 0x378;
    static constexpr std::uint32_t kControl = 0x37A;

private:
    std::uint8_t controlAsRead() const;

    Way way_;
    std::uint8_t foundData_;
    std::uint8_t foundControl_;
    std::uint8_t data_;
    std::uint8_t control_; // as last written
};

} // namespace vm
