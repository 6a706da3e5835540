// The simulated port's three-byte file, read afresh on every change so that a
// file replaced by another program (rather than written in place) is seen.
#pragma once

#include "RegisterSource.h"

class SimulatedPortFile : public RegisterSource {
public:
    // Creates the file with an idle port's bytes if it is not there yet (so
    // the monitor may start before the application); throws
    // std::runtime_error with a message saying how to fix it otherwise.
    explicit SimulatedPortFile(std::string path);

    std::optional<PortRegisters> read() override;
    std::string writeStatus(std::uint8_t status) override;
    bool canWriteStatus() const override { return true; }
    std::string watchedFile() const override { return path_; }
    std::string description() const override;

private:
    std::string path_;
};
