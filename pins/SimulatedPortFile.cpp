// Reading and presetting the simulated port's file.
#include "SimulatedPortFile.h"

#include "ErrnoMessage.h"
#include "SimulatedPort.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr off_t kStatusOffset = 1;

// Closes the descriptor however the function returns.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

SimulatedPortFile::SimulatedPortFile(std::string path)
    : path_(std::move(path))
{
    // The port itself knows how a new file starts; opening it once is enough.
    portio::SimulatedPort create(path_);
}

std::optional<PortRegisters> SimulatedPortFile::read()
{
    Fd fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::nullopt;
    std::uint8_t bytes[3];
    if (::pread(fd.get(), bytes, sizeof bytes, 0) != ssize_t(sizeof bytes))
        return std::nullopt;
    return PortRegisters{bytes[0], bytes[1], bytes[2]};
}

std::string SimulatedPortFile::writeStatus(std::uint8_t status)
{
    // In place, never by replacing the file: the application keeps it open.
    Fd fd(::open(path_.c_str(), O_WRONLY | O_CLOEXEC));
    if (fd.get() < 0 || ::pwrite(fd.get(), &status, 1, kStatusOffset) != 1)
        return portio::errnoMessage("write the simulated port " + path_, errno);
    return {};
}

std::string SimulatedPortFile::description() const
{
    return "Simulated port 0x378: " + path_;
}
