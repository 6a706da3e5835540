// Keeps a second Tenvaro off a port the first one is driving.
//
// An exclusive flock on a lock file per port, with the holder's process id
// written inside for the message the second one shows. The kernel drops the
// lock when the process ends however it ends, so a stale file never blocks.
#pragma once

#include <stdexcept>
#include <string>

namespace portio {

class PortLock {
public:
    // The port is held by another process.
    struct InUse : std::runtime_error {
        InUse(const std::string& message, long holder)
            : std::runtime_error(message)
            , pid(holder)
        {
        }
        long pid; // 0 when the holder wrote none yet
    };

    // Takes the lock at once or throws: InUse when another process holds it,
    // std::runtime_error when the file cannot be opened. Never waits.
    explicit PortLock(std::string path);
    ~PortLock();
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    const std::string& path() const { return path_; }

    // /run/lock when this user may create files there (shared by all users,
    // so it keeps out another user's Tenvaro too), else $XDG_RUNTIME_DIR,
    // else /tmp.
    static std::string defaultDirectory();

private:
    void openFile();
    long holder() const;
    void writeOwnPid();

    std::string path_;
    int fd_ = -1;
};

} // namespace portio
