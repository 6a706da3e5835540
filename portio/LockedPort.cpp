// Forwarding to the locked backend.
#include "LockedPort.h"

namespace portio {

LockedPort::LockedPort(std::unique_ptr<PortLock> lock, std::unique_ptr<PortBackend> inner)
    : lock_(std::move(lock))
    , inner_(std::move(inner))
{
}

std::uint8_t LockedPort::read(std::uint32_t address)
{
    return inner_->read(address);
}

void LockedPort::write(std::uint32_t address, std::uint8_t value)
{
    inner_->write(address, value);
}

} // namespace portio
