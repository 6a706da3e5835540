// The two port operations, forwarded to the backend in use.
#include "PortIO.h"

#include "PortAccess.h"

std::uint8_t DlPortReadPortUchar(std::uint32_t address)
{
    return portio::current().read(address);
}

void DlPortWritePortUchar(std::uint32_t address, std::uint8_t value)
{
    portio::current().write(address, value);
}
