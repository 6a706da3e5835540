// Wraps a backend and appends one line per port call to a trace file:
// "R 0x378 0x00" for a read (with the byte it returned), "W 0x37A 0x05" for a
// write. Each line is written straight through with one write(2), so a
// process killed at any moment leaves a trace of whole lines.
#pragma once

#include "PortBackend.h"

#include <memory>
#include <string>

namespace portio {

class TracingPort : public PortBackend {
public:
    // Throws std::runtime_error when the trace file cannot be opened.
    TracingPort(std::unique_ptr<PortBackend> inner, const std::string& tracePath);
    ~TracingPort() override;
    TracingPort(const TracingPort&) = delete;
    TracingPort& operator=(const TracingPort&) = delete;

    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

private:
    void append(char kind, std::uint32_t address, std::uint8_t value);

    std::unique_ptr<PortBackend> inner_;
    std::string path_;
    int fd_ = -1;
};

} // namespace portio
