// Markers, a foreign ppdev holder and privilege dropping for the guest.
#include "GuestTools.h"

#include "Scenario.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <linux/ppdev.h>
#include <string>
#include <sys/io.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace guest {

int mark(std::uint8_t value)
{
    return poke(vm::kMarkerAddress, value);
}

int poke(std::uint16_t address, std::uint8_t value)
{
    if (::ioperm(address, 1, 1) != 0) {
        std::printf("no write of 0x%02X to 0x%X: %s\n", value, unsigned(address), std::strerror(errno));
        return 1;
    }
    ::outb(value, address);
    ::ioperm(address, 1, 0);
    return 0;
}

sigset_t blockSigterm()
{
    sigset_t terminate;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    sigprocmask(SIG_BLOCK, &terminate, nullptr);
    return terminate;
}

void awaitSigterm(const sigset_t& blocked)
{
    int signal = 0;
    sigwait(&blocked, &signal);
}

int rawClaim()
{
    const sigset_t terminate = blockSigterm();
    const int fd = ::open("/dev/parport0", O_RDWR);
    if (fd < 0 || ::ioctl(fd, PPCLAIM) != 0) {
        std::printf("rawclaim: %s\n", std::strerror(errno));
        return 1;
    }
    std::ofstream("/tmp/tenvaro-rawclaim") << "claimed\n";
    awaitSigterm(terminate);
    ::ioctl(fd, PPRELEASE);
    ::close(fd);
    return 0;
}

bool replaceDescriptorsOf(const char* device)
{
    const int null = ::open("/dev/null", O_RDWR);
    bool replaced = false;
    for (int fd = 0; fd < 256; ++fd) {
        char link[64];
        char target[256] = {};
        std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
        if (fd != null && ::readlink(link, target, sizeof target - 1) > 0 && std::strcmp(target, device) == 0)
            replaced = ::dup2(null, fd) == fd || replaced;
    }
    ::close(null);
    if (!replaced)
        std::printf("no descriptor open on %s\n", device);
    return replaced;
}

int drop(int argc, char** argv)
{
    const uid_t uid = static_cast<uid_t>(std::atoi(argv[0]));
    const gid_t gid = static_cast<gid_t>(std::atoi(argv[1]));
    std::vector<gid_t> groups;
    int i = 2;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        groups.push_back(static_cast<gid_t>(std::atoi(argv[i])));
    if (i + 1 >= argc) {
        std::fprintf(stderr, "drop: no program after --\n");
        return 2;
    }
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) {
        std::perror("drop");
        return 2;
    }
    ::execv(argv[i + 1], argv + i + 1);
    std::perror("drop: exec");
    return 127;
}

} // namespace guest
