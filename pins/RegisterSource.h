// Where the pin monitor gets the port's register bytes from.
#pragma once

#include "PortRegisters.h"

#include <cstdint>
#include <optional>
#include <string>

class RegisterSource {
public:
    virtual ~RegisterSource() = default;

    // The registers as they are now; nothing when they cannot be read
    // (e.g. the simulated port's file is being replaced).
    virtual std::optional<PortRegisters> read() = 0;

    // Sets the status register, for sources that can stand in for what is
    // attached to the port. Returns an empty string on success, else why not.
    virtual std::string writeStatus(std::uint8_t status) = 0;
    virtual bool canWriteStatus() const = 0;

    // A file whose changes mean the registers changed; empty when the source
    // has to be read again on a timer instead.
    virtual std::string watchedFile() const = 0;

    // One line for the window: which port this is.
    virtual std::string description() const = 0;
};
