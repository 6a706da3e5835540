// The stand-in's two operations.
#include "NullPort.h"

namespace portio {

std::uint8_t NullPort::read(std::uint32_t)
{
    return 0xFF;
}

void NullPort::write(std::uint32_t, std::uint8_t) {}

} // namespace portio
