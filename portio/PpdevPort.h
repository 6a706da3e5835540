// The port through the kernel's ppdev driver (/dev/parportN): no root
// needed, only membership of the group that owns the device (lp on Debian).
//
// The port is claimed exclusively for the object's lifetime, so no printer
// driver or other program can slip in between a read and the write that
// follows it. An exclusive claim fails at once when anyone else is registered
// on the port; a plain claim would wait for them, and freeze every other
// ppdev call of this process meanwhile.
//
// Claiming makes the kernel write its own idle value to the control register,
// and PPRCONTROL returns the kernel's copy of control bits 0-3 rather than
// reading the port; so "the control value as found" is the one right after
// the claim.
#pragma once

#include "PortBackend.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace portio {

class ParportDirectory;

class PpdevPort : public PortBackend {
public:
    // Why the port cannot be had, and how to fix it.
    struct Unavailable : std::runtime_error {
        Unavailable(const std::string& message, bool isHeld)
            : std::runtime_error(message)
            , held(isHeld)
        {
        }
        bool held; // someone else is registered on the port
    };

    // Finds the device for `base`, opens and claims it; throws Unavailable
    // when the port is not there, not permitted or held by someone else.
    PpdevPort(const ParportDirectory& directory, std::uint32_t base);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort&) = delete;
    PpdevPort& operator=(const PpdevPort&) = delete;

    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

    const std::string& device() const { return device_; }

private:
    void open(const ParportDirectory& directory);
    void claim(const ParportDirectory& directory, const std::string& port);
    bool control(unsigned long request, std::uint8_t* value, const char* what);

    std::uint32_t base_;
    std::string device_;
    int fd_ = -1;
    bool claimed_ = false;
    bool faulted_ = false; // report a run of failures once, not per access
};

} // namespace portio
