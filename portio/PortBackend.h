// The smallest interface a way of reaching the port registers has to offer.
#pragma once

#include <cstdint>

namespace portio {

class PortBackend {
public:
    virtual ~PortBackend() = default;

    // The register's current content as one byte.
    virtual std::uint8_t read(std::uint32_t address) = 0;
    // Takes effect on the port before it returns.
    virtual void write(std::uint32_t address, std::uint8_t value) = 0;
};

} // namespace portio
