// A backend together with the lock that keeps other Tenvaros off its port.
// The backend goes first when this is destroyed (it may still restore the
// port), then the lock.
#pragma once

#include "PortBackend.h"
#include "PortLock.h"

#include <memory>

namespace portio {

class LockedPort : public PortBackend {
public:
    LockedPort(std::unique_ptr<PortLock> lock, std::unique_ptr<PortBackend> inner);

    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

    PortBackend& inner() { return *inner_; }

private:
    std::unique_ptr<PortLock> lock_; // declared first: released last
    std::unique_ptr<PortBackend> inner_;
};

} // namespace portio
