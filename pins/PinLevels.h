// Turns register bytes into the levels on the connector's pins, undoing the
// port's inversions so that "high" means the pin, not the bit. Free of Qt so
// that it can be checked against register bytes directly.
#pragma once

#include "PortRegisters.h"

#include <optional>

class PinLevels {
public:
    explicit PinLevels(PortRegisters registers) : registers_(registers) {}

    // True when pin `number` is at the high level; grounds are always low.
    bool high(int number) const;

    // The status byte with the input at pin `number` flipped, so that the
    // pin's level flips; nothing when the pin is not a status input.
    std::optional<std::uint8_t> statusWithInputToggled(int number) const;

    const PortRegisters& registers() const { return registers_; }

private:
    PortRegisters registers_;
};
