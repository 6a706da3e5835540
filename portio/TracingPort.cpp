// The trace decorator.
#include "TracingPort.h"

#include "ErrnoMessage.h"
#include "PortAccess.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace portio {

TracingPort::TracingPort(std::unique_ptr<PortBackend> inner, const std::string& tracePath)
    : inner_(std::move(inner))
    , path_(tracePath)
{
    fd_ = ::open(tracePath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw std::runtime_error(errnoMessage("open the trace file " + tracePath, errno));
}

TracingPort::~TracingPort()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::uint8_t TracingPort::read(std::uint32_t address)
{
    const std::uint8_t value = inner_->read(address);
    append('R', address, value);
    return value;
}

void TracingPort::write(std::uint32_t address, std::uint8_t value)
{
    inner_->write(address, value);
    append('W', address, value);
}

void TracingPort::append(char kind, std::uint32_t address, std::uint8_t value)
{
    char line[32];
    const int length = std::snprintf(line, sizeof line, "%c 0x%X 0x%02X\n", kind, unsigned(address),
                                     unsigned(value));
    if (::write(fd_, line, size_t(length)) != length)
        reportFault(errnoMessage("append to the trace file " + path_, errno));
}

} // namespace portio
