// A PC parallel port simulated in a small file, so that its state outlives
// the process and another program can watch or preset it.
//
// The file holds three bytes: data, status and control, in register order.
// Data and control read back what was last written; status reads whatever the
// file holds (another program sets the inputs). Addresses outside the port's
// three registers read 0xFF and ignore writes, as on an empty ISA bus.
#pragma once

#include "PortBackend.h"

#include <cstdint>
#include <string>

namespace portio {

class SimulatedPort : public PortBackend {
public:
    static constexpr std::uint32_t kBase = 0x378;
    // The bytes a new file starts with: data low, status of an idle port with
    // nothing attached, control as a printer driver leaves it.
    static constexpr std::uint8_t kInitialData = 0x00;
    static constexpr std::uint8_t kInitialStatus = 0x7F;
    static constexpr std::uint8_t kInitialControl = 0x0C;

    // Opens (creating if need be) the file; throws std::runtime_error with a
    // message that says how to fix it when that cannot be done.
    explicit SimulatedPort(std::string path);
    ~SimulatedPort() override;
    SimulatedPort(const SimulatedPort&) = delete;
    SimulatedPort& operator=(const SimulatedPort&) = delete;

    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

    const std::string& path() const { return path_; }

    // A file in $XDG_RUNTIME_DIR, else in /tmp.
    static std::string defaultPath();

private:
    void fillMissingBytes();

    std::string path_;
    int fd_ = -1;
};

} // namespace portio
