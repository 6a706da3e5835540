// Stands in when the port asked for cannot be had: touches nothing, so the
// controller's start and restore go nowhere while the application tells the
// user why and exits. Reads 0xFF, like an empty bus.
#pragma once

#include "PortBackend.h"

namespace portio {

class NullPort : public PortBackend {
public:
    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;
};

} // namespace portio
