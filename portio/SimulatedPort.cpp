// The simulated port's registers, kept in a three-byte file.
#include "SimulatedPort.h"

#include "ErrnoMessage.h"
#include "PortAccess.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <stdexcept>
#include <unistd.h>

namespace portio {
namespace {

constexpr std::uint32_t kRegisterCount = 3;

bool inPort(std::uint32_t address)
{
    return address >= SimulatedPort::kBase && address < SimulatedPort::kBase + kRegisterCount;
}

} // namespace

SimulatedPort::SimulatedPort(std::string path)
    : path_(std::move(path))
{
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw std::runtime_error(errnoMessage("open the simulated port " + path_, errno));
    fillMissingBytes();
}

SimulatedPort::~SimulatedPort()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void SimulatedPort::fillMissingBytes()
{
    // A new or truncated file gets the idle values for the registers it
    // lacks; bytes already there are kept, since someone may have preset them.
    const std::uint8_t initial[kRegisterCount] = {kInitialData, kInitialStatus, kInitialControl};
    const off_t size = ::lseek(fd_, 0, SEEK_END);
    for (off_t offset = size < 0 ? 0 : size; offset < off_t(kRegisterCount); ++offset) {
        if (::pwrite(fd_, &initial[offset], 1, offset) != 1) {
            const int error = errno;
            ::close(fd_);
            fd_ = -1;
            throw std::runtime_error(errnoMessage("write the simulated port " + path_, error));
        }
    }
}

std::uint8_t SimulatedPort::read(std::uint32_t address)
{
    if (!inPort(address))
        return 0xFF;
    std::uint8_t value = 0xFF;
    const ssize_t got = ::pread(fd_, &value, 1, address - kBase);
    if (got != 1) {
        reportFault(got < 0 ? errnoMessage("read the simulated port " + path_, errno)
                            : "cannot read the simulated port " + path_ + ": the file was truncated");
        return 0xFF;
    }
    return value;
}

void SimulatedPort::write(std::uint32_t address, std::uint8_t value)
{
    if (!inPort(address))
        return;
    if (::pwrite(fd_, &value, 1, address - kBase) != 1) {
        reportFault(errnoMessage("write the simulated port " + path_, errno));
        return;
    }
    // A removed file still takes writes, but nobody can see them any more.
    struct stat status {};
    if (::fstat(fd_, &status) == 0 && status.st_nlink == 0)
        reportFault("the simulated port's file " + path_ +
                    " was removed, so this pin change reaches no one; restart Tenvaro to make a new one");
}

std::string SimulatedPort::defaultPath()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/tenvaro-port-378";
    return "/tmp/tenvaro-port-378-" + std::to_string(::getuid());
}

} // namespace portio
