// ppdev ioctls behind the byte-wide port operations.
#include "PpdevPort.h"

#include "ErrnoMessage.h"
#include "ParportDirectory.h"
#include "PortAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace portio {
namespace {

// PPWCONTROL hands bits 0-3 to the port; bit 5 would silently turn the data
// lines into inputs, and the kernel keeps bit 4 (interrupts) for itself.
constexpr std::uint8_t kControlLines = 0x0F;

[[noreturn]] void fail(const std::string& message, bool held = false)
{
    throw PpdevPort::Unavailable(message, held);
}

} // namespace

PpdevPort::PpdevPort(const ParportDirectory& directory, std::uint32_t base)
    : base_(base)
{
    open(directory);
}

void PpdevPort::open(const ParportDirectory& directory)
{
    const std::optional<std::string> port = directory.portAt(base_);
    if (!port)
        fail(noPortMessage(base_, directory.bases()));
    device_ = directory.devicePath(*port);
    fd_ = ::open(device_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        fail(errnoMessage("open " + device_, error));
    }
    try {
        claim(directory, *port);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

void PpdevPort::claim(const ParportDirectory& directory, const std::string& port)
{
    if (::ioctl(fd_, PPEXCL) != 0) {
        const int error = errno;
        fail(errnoMessage("ask for exclusive use of " + device_, error));
    }
    if (::ioctl(fd_, PPCLAIM) != 0) {
        const int error = errno;
        // ENXIO here means the port exists (the kernel listed it) but others
        // are registered on it, so an exclusive claim cannot be granted.
        if (error == ENXIO)
            fail(portHeldMessage(base_, device_, directory.holders(port)), true);
        fail(errnoMessage("claim " + device_, error));
    }
    claimed_ = true;
}

PpdevPort::~PpdevPort()
{
    if (claimed_)
        ::ioctl(fd_, PPRELEASE);
    if (fd_ >= 0)
        ::close(fd_);
}

bool PpdevPort::control(unsigned long request, std::uint8_t* value, const char* what)
{
    // The byte-wide calls have no error result: a failure is reported once
    // and the caller gets 0xFF (reads) or nothing happens (writes).
    if (::ioctl(fd_, request, value) == 0) {
        faulted_ = false;
        return true;
    }
    const int error = errno;
    if (!faulted_)
        reportFault(errnoMessage(std::string(what) + " through " + device_, error));
    faulted_ = true;
    return false;
}

std::uint8_t PpdevPort::read(std::uint32_t address)
{
    std::uint8_t value = 0xFF;
    switch (address - base_) {
    case 0:
        control(PPRDATA, &value, "read the data register");
        break;
    case 1:
        control(PPRSTATUS, &value, "read the status register");
        break;
    case 2:
        control(PPRCONTROL, &value, "read the control register");
        break;
    default:
        return 0xFF; // an empty ISA bus
    }
    return value;
}

void PpdevPort::write(std::uint32_t address, std::uint8_t value)
{
    switch (address - base_) {
    case 0:
        control(PPWDATA, &value, "write the data register");
        break;
    case 2: {
        std::uint8_t lines = value & kControlLines;
        control(PPWCONTROL, &lines, "write the control register");
        break;
    }
    default:
        break; // status is read-only, and nothing else belongs to the port
    }
}

} // namespace portio
