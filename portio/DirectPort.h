// The port through the processor's I/O instructions (x86 only): ioperm for
// the port's three registers, then inb/outb. Needs root or CAP_SYS_RAWIO.
//
// Nothing is touched until the first call asks, and reads are the port's own
// values, so the control register as found is the true one (bits 4-7
// included), unlike through ppdev.
#pragma once

#include "PortBackend.h"

#include <cstdint>
#include <string>

namespace portio {

class DirectPort : public PortBackend {
public:
    explicit DirectPort(std::uint32_t base);
    ~DirectPort() override;
    DirectPort(const DirectPort&) = delete;
    DirectPort& operator=(const DirectPort&) = delete;

    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

    // Empty when the registers at `base` may be reached and something answers
    // there; otherwise why not, and how to fix it. Only reads the registers,
    // which changes nothing on a parallel port.
    static std::string unavailableReason(std::uint32_t base);

private:
    bool ensureAccess();

    std::uint32_t base_;
    bool granted_ = false;
    bool faulted_ = false;
};

} // namespace portio
