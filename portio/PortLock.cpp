// flock on a per-port file, with the holder's pid inside.
#include "PortLock.h"

#include "ErrnoMessage.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace portio {

PortLock::PortLock(std::string path)
    : path_(std::move(path))
{
    openFile();
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const long pid = error == EWOULDBLOCK ? holder() : 0;
        ::close(fd_);
        if (error == EWOULDBLOCK)
            throw InUse(path_ + " is locked by process " + std::to_string(pid), pid);
        throw std::runtime_error(errnoMessage("lock " + path_, error));
    }
    writeOwnPid();
}

PortLock::~PortLock()
{
    // Closing drops the lock. The file stays: removing it would let a
    // newcomer lock a fresh file while a waiter still holds the old one.
    ::close(fd_);
}

void PortLock::openFile()
{
    // Everyone must be able to open the file another user created in the
    // shared directory; a read-only descriptor still takes a flock.
    fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0 && errno == ENOENT) {
        fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            ::fchmod(fd_, 0666);
        else if (errno == EEXIST)
            fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (fd_ < 0 && (errno == EACCES || errno == EPERM))
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error(errnoMessage("open the lock file " + path_, errno));
}

long PortLock::holder() const
{
    char text[24] = {};
    const ssize_t got = ::pread(fd_, text, sizeof text - 1, 0);
    return got > 0 ? std::strtol(text, nullptr, 10) : 0;
}

void PortLock::writeOwnPid()
{
    // Best effort: a read-only descriptor leaves the previous text, and the
    // refusal message then names no process.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) == 0)
        (void)!::pwrite(fd_, pid.data(), pid.size(), 0);
}

std::string PortLock::defaultDirectory()
{
    if (::access("/run/lock", W_OK | X_OK) == 0)
        return "/run/lock";
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return runtime;
    return "/tmp";
}

} // namespace portio
