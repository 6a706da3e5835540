// A real port at 0x378 read with the processor's I/O instructions, for
// watching a port that Tenvaro drives. It never writes: only reads reach the
// port, so watching cannot disturb what is attached.
#pragma once

#include "RegisterSource.h"

#include <memory>

namespace portio {
class DirectPort;
}

class DirectPortReader : public RegisterSource {
public:
    static constexpr std::uint32_t kBase = 0x378;

    // Empty when the port can be read; otherwise why not, and how to fix it.
    static std::string unavailableReason();

    DirectPortReader();
    ~DirectPortReader() override;

    std::optional<PortRegisters> read() override;
    std::string writeStatus(std::uint8_t status) override;
    bool canWriteStatus() const override { return false; }
    std::string watchedFile() const override { return {}; }
    std::string description() const override;

private:
    std::unique_ptr<portio::DirectPort> port_;
};
