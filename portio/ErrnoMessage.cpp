// One place that knows which fix goes with which errno.
#include "ErrnoMessage.h"

#include <cerrno>
#include <cstring>

namespace portio {
namespace {

const char* fixFor(const std::string& action, int error)
{
    const bool parportDevice = action.find("/dev/parport") != std::string::npos;
    switch (error) {
    case EACCES:
    case EPERM:
        if (parportDevice)
            return "add yourself to group lp (sudo adduser $USER lp) and log in again";
        if (action.find("ioperm") != std::string::npos)
            return "direct port access needs root or the CAP_SYS_RAWIO capability";
        return "check the permissions of the file and of its directory";
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

} // namespace

std::string errnoMessage(const std::string& action, int error)
{
    std::string message = "cannot " + action + ": " + std::strerror(error);
    if (const char* fix = fixFor(action, error))
        message += " (" + std::string(fix) + ")";
    return message;
}

} // namespace portio
