// ioperm and the I/O instructions behind the byte-wide port operations.
#include "DirectPort.h"

#include "ErrnoMessage.h"
#include "PortAccess.h"

#include <cerrno>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TENVARO_HAVE_PORT_IO 1
#else
#define TENVARO_HAVE_PORT_IO 0
#endif

namespace portio {
namespace {

constexpr unsigned kRegisters = 3;

bool inPort(std::uint32_t base, std::uint32_t address)
{
    return address >= base && address < base + kRegisters;
}

// 0 or an errno.
int grant(std::uint32_t base, bool on)
{
#if TENVARO_HAVE_PORT_IO
    return ::ioperm(base, kRegisters, on ? 1 : 0) == 0 ? 0 : errno;
#else
    (void)base;
    (void)on;
    return ENOSYS;
#endif
}

std::uint8_t in(std::uint32_t address)
{
#if TENVARO_HAVE_PORT_IO
    return ::inb(static_cast<unsigned short>(address));
#else
    (void)address;
    return 0xFF;
#endif
}

void out(std::uint32_t address, std::uint8_t value)
{
#if TENVARO_HAVE_PORT_IO
    ::outb(value, static_cast<unsigned short>(address));
#else
    (void)address;
    (void)value;
#endif
}

std::string grantAction(std::uint32_t base)
{
    return "reach the port registers at " + hexAddress(base) + " directly (ioperm)";
}

} // namespace

DirectPort::DirectPort(std::uint32_t base)
    : base_(base)
{
}

DirectPort::~DirectPort()
{
    if (granted_)
        grant(base_, false);
}

std::string DirectPort::unavailableReason(std::uint32_t base)
{
    if (!TENVARO_HAVE_PORT_IO)
        return "direct port access exists only on x86 PCs";
    if (const int error = grant(base, true))
        return errnoMessage(grantAction(base), error);
    // An empty ISA bus reads 0xFF everywhere, while a port driving its data
    // lines (its normal direction) reads bit 5 of control clear.
    bool allOnes = true;
    for (unsigned offset = 0; offset < kRegisters; ++offset)
        allOnes = allOnes && in(base + offset) == 0xFF;
    grant(base, false);
    return allOnes ? emptyBusMessage(base) : std::string();
}

bool DirectPort::ensureAccess()
{
    if (granted_)
        return true;
    if (const int error = grant(base_, true)) {
        if (!faulted_)
            reportFault(errnoMessage(grantAction(base_), error));
        faulted_ = true;
        return false;
    }
    granted_ = true;
    return true;
}

std::uint8_t DirectPort::read(std::uint32_t address)
{
    if (!inPort(base_, address) || !ensureAccess())
        return 0xFF;
    return in(address);
}

void DirectPort::write(std::uint32_t address, std::uint8_t value)
{
    if (!inPort(base_, address) || !ensureAccess())
        return;
    out(address, value);
}

} // namespace portio
