// Read-only access to the real port's registers.
#include "DirectPortReader.h"

#include "DirectPort.h"

std::string DirectPortReader::unavailableReason()
{
    return portio::DirectPort::unavailableReason(kBase);
}

DirectPortReader::DirectPortReader()
    : port_(std::make_unique<portio::DirectPort>(kBase))
{
}

DirectPortReader::~DirectPortReader() = default;

std::optional<PortRegisters> DirectPortReader::read()
{
    return PortRegisters{port_->read(kBase), port_->read(kBase + 1), port_->read(kBase + 2)};
}

std::string DirectPortReader::writeStatus(std::uint8_t)
{
    // The status lines are driven by what is attached, not by the computer.
    return "the inputs of a real port are set by what is attached to it";
}

std::string DirectPortReader::description() const
{
    return "Real port 0x378, read directly (read-only)";
}
