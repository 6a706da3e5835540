// One place that knows which fix goes with which failure.
#include "ErrnoMessage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace portio {
namespace {

const char* fixFor(const std::string& action, int error)
{
    const bool parportDevice = action.find("/dev/parport") != std::string::npos;
    const bool ioperm = action.find("ioperm") != std::string::npos;
    switch (error) {
    case EACCES:
    case EPERM:
        if (parportDevice)
            return "add yourself to group lp (sudo adduser $USER lp) and log in again";
        if (ioperm)
            return "direct port access needs root or the CAP_SYS_RAWIO capability; "
                   "use the ppdev way (group lp) instead";
        return "check the permissions of the file and of its directory";
    case ENOSYS:
        if (ioperm)
            return "this kernel or sandbox refuses direct port access; use the ppdev way (group lp)";
        return nullptr;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        if (parportDevice)
            return "load the parport_pc and ppdev modules (sudo modprobe -a parport_pc ppdev), "
                   "or this machine has no parallel port there";
        return "check that the path exists";
    case EBUSY:
        return "another program is using it; close that program first";
    case EROFS:
        return "choose a file on a writable file system";
    case ENOSPC:
    case EDQUOT:
        return "free some disk space";
    case EISDIR:
        return "give the path of a file, not of a directory";
    default:
        return nullptr;
    }
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ", ") + part;
    return text;
}

} // namespace

std::string hexAddress(std::uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", unsigned(address));
    return text;
}

std::string errnoMessage(const std::string& action, int error)
{
    std::string message = "cannot " + action + ": " + std::strerror(error);
    if (const char* fix = fixFor(action, error))
        message += " (" + std::string(fix) + ")";
    return message;
}

std::string noPortMessage(std::uint32_t base, const std::vector<std::uint32_t>& listed)
{
    std::string message = "no parallel port at " + hexAddress(base) + ": ";
    if (listed.empty()) {
        message += "the kernel lists no parallel port at all";
    } else {
        std::vector<std::string> bases;
        for (std::uint32_t other : listed)
            bases.push_back(hexAddress(other));
        message += "the kernel lists ports at " + joined(bases) + " only";
    }
    return message + " (load the parport_pc and ppdev modules: sudo modprobe -a parport_pc ppdev; "
                     "or this machine has no parallel port there)";
}

std::string portHeldMessage(std::uint32_t base, const std::string& device,
                            const std::vector<std::string>& holders)
{
    const std::string who = holders.empty() ? "another driver or program" : joined(holders);
    std::string fix = "close that program first";
    for (const std::string& holder : holders) {
        if (holder.find("lp printer driver") != std::string::npos)
            fix = "unload the printer driver (sudo modprobe -r lp) or close that program first";
    }
    return "cannot claim the parallel port at " + hexAddress(base) + " through " + device +
           ": it is held by " + who + " (" + fix + ")";
}

std::string directNotTriedMessage(const std::vector<std::string>& holders)
{
    return "not tried, since the port is held by " + (holders.empty() ? "another driver or program" : joined(holders)) +
           " and writing its registers behind that one's back would fight it";
}

std::string emptyBusMessage(std::uint32_t base)
{
    return "no parallel port answers at " + hexAddress(base) +
           ": its registers all read 0xFF (this machine has no parallel port there; check the "
           "port is enabled in the firmware set-up)";
}

std::string inUseMessage(const std::string& port, long pid)
{
    const std::string who = pid > 0 ? "Tenvaro (process " + std::to_string(pid) + ")" : "another Tenvaro";
    return port + " is already in use by " + who + " (close that one first; only one Tenvaro may drive a port)";
}

} // namespace portio
