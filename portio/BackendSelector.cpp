// Reads the port-I/O variables and builds the backend they ask for.
#include "BackendSelector.h"

#include "DirectPort.h"
#include "ErrnoMessage.h"
#include "LockedPort.h"
#include "NullPort.h"
#include "ParportDirectory.h"
#include "PortLock.h"
#include "PpdevPort.h"
#include "SimulatedPort.h"
#include "TracingPort.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace portio {
namespace {

constexpr std::uint32_t kBase = BackendSelector::kBase;

Selection badConfiguration(std::string message)
{
    Selection result;
    result.error = std::move(message);
    result.exitCode = BackendSelector::kBadConfiguration;
    return result;
}

Selection standIn(std::string failure)
{
    Selection result;
    result.backend = std::make_unique<NullPort>();
    result.failure = std::move(failure);
    return result;
}

Selection locked(std::unique_ptr<PortLock> lock, std::unique_ptr<PortBackend> backend)
{
    Selection result;
    result.backend = std::make_unique<LockedPort>(std::move(lock), std::move(backend));
    return result;
}

std::string valueOf(const BackendSelector::Getenv& getenv, const char* name)
{
    const char* value = getenv(name);
    return value ? value : "";
}

bool knownMode(const std::string& mode)
{
    return mode == "auto" || mode == "ppdev" || mode == "direct" || mode == "sim";
}

// Opened (and created) here, before any backend touches the port, so that a
// bad path costs nothing but the message.
std::string traceFileProblem(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return errnoMessage("open the trace file " + path, errno);
    ::close(fd);
    return "";
}

struct Attempt {
    std::unique_ptr<PortBackend> backend;
    std::string reason; // why not, when there is no backend
    bool held = false;  // someone else is registered on the port
};

Attempt viaPpdev(const SystemPaths& paths)
{
    try {
        const ParportDirectory directory(paths.parportProc, paths.devices, paths.processes);
        return {std::make_unique<PpdevPort>(directory, kBase), "", false};
    } catch (const PpdevPort::Unavailable& e) {
        return {nullptr, e.what(), e.held};
    }
}

// Who else the kernel has registered on the port, in words; empty when
// nobody is, or when the parport driver does not list the port at all.
std::vector<std::string> holdersOfPort(const SystemPaths& paths)
{
    const ParportDirectory directory(paths.parportProc, paths.devices, paths.processes);
    const std::optional<std::string> port = directory.portAt(kBase);
    return port ? directory.holders(*port) : std::vector<std::string>{};
}

Attempt viaDirect()
{
    std::string reason = DirectPort::unavailableReason(kBase);
    if (!reason.empty())
        return {nullptr, std::move(reason), false};
    return {std::make_unique<DirectPort>(kBase), "", false};
}

Selection simulated(const std::string& simPath)
{
    std::unique_ptr<PortLock> lock;
    try {
        lock = std::make_unique<PortLock>(simPath + ".lock");
    } catch (const PortLock::InUse& e) {
        return standIn(inUseMessage("the simulated port " + simPath, e.pid));
    } catch (const std::runtime_error& e) {
        return badConfiguration(std::string(e.what()) + "; set TENVARO_PORTIO_SIM to a writable file path");
    }
    try {
        return locked(std::move(lock), std::make_unique<SimulatedPort>(simPath));
    } catch (const std::runtime_error& e) {
        return badConfiguration(std::string(e.what()) + "; set TENVARO_PORTIO_SIM to a writable file path");
    }
}

std::string fallbackNotice(const std::string& simPath, const Attempt& ppdev, const Attempt& direct)
{
    return "Tenvaro could not use the parallel port at " + hexAddress(kBase) +
           " and drives a simulated port instead (its registers are kept in " + simPath +
           "; no pin on this machine changes: watch the simulated pins with tenvaro-pins)."
           "\n\nThrough ppdev: " + ppdev.reason + ".\n\nDirectly: " + direct.reason + ".";
}

Selection automatic(std::unique_ptr<PortLock> lock, const SystemPaths& paths, const std::string& simPath)
{
    Attempt ppdev = viaPpdev(paths);
    if (ppdev.backend)
        return locked(std::move(lock), std::move(ppdev.backend));
    // Only a port nobody else is registered on is taken directly (ppdev may
    // have failed for another reason, e.g. its module is not loaded, while
    // the printer driver sits on the port).
    const std::vector<std::string> holders = holdersOfPort(paths);
    Attempt direct = ppdev.held || !holders.empty() ? Attempt{nullptr, directNotTriedMessage(holders), true}
                                                    : viaDirect();
    if (direct.backend)
        return locked(std::move(lock), std::move(direct.backend));

    lock.reset(); // the real port is not ours after all; the simulated one has its own lock
    Selection fallback = simulated(simPath);
    if (fallback.backend && fallback.failure.empty())
        fallback.notice = fallbackNotice(simPath, ppdev, direct);
    return fallback;
}

Selection realPort(const std::string& mode, const SystemPaths& paths, const std::string& simPath)
{
    const std::string directory = paths.lockDirectory.empty() ? PortLock::defaultDirectory() : paths.lockDirectory;
    std::unique_ptr<PortLock> lock;
    try {
        lock = std::make_unique<PortLock>(directory + "/tenvaro-" + hexAddress(kBase).substr(2) + ".lock");
    } catch (const PortLock::InUse& e) {
        return standIn(inUseMessage("the parallel port at " + hexAddress(kBase), e.pid));
    } catch (const std::runtime_error& e) {
        return standIn(e.what());
    }
    if (mode == "auto")
        return automatic(std::move(lock), paths, simPath);

    Attempt attempt = mode == "ppdev" ? viaPpdev(paths) : viaDirect();
    if (!attempt.backend)
        return standIn("TENVARO_PORTIO=" + mode + ": " + attempt.reason);
    return locked(std::move(lock), std::move(attempt.backend));
}

} // namespace

Selection BackendSelector::fromEnvironment()
{
    return select([](const char* name) { return std::getenv(name); });
}

Selection BackendSelector::select(const Getenv& getenv, const SystemPaths& paths)
{
    std::string mode = valueOf(getenv, "TENVARO_PORTIO");
    if (mode.empty())
        mode = kDefaultMode;
    if (!knownMode(mode))
        return badConfiguration("TENVARO_PORTIO=" + mode + " is not a port backend; use one of: " + kModes);

    const std::string tracePath = valueOf(getenv, "TENVARO_PORTIO_TRACE");
    if (!tracePath.empty()) {
        if (std::string problem = traceFileProblem(tracePath); !problem.empty())
            return badConfiguration("TENVARO_PORTIO_TRACE: " + problem +
                                    "; give a file in a writable directory, or leave it unset");
    }

    std::string simPath = valueOf(getenv, "TENVARO_PORTIO_SIM");
    if (simPath.empty())
        simPath = SimulatedPort::defaultPath();

    Selection chosen = mode == "sim" ? simulated(simPath) : realPort(mode, paths, simPath);
    // A stand-in touches nothing, so there is nothing to trace.
    if (!chosen.backend || !chosen.failure.empty() || tracePath.empty())
        return chosen;
    try {
        chosen.backend = std::make_unique<TracingPort>(std::move(chosen.backend), tracePath);
    } catch (const std::runtime_error& e) {
        return badConfiguration("TENVARO_PORTIO_TRACE: " + std::string(e.what()) +
                                "; give a file in a writable directory, or leave it unset");
    }
    return chosen;
}

} // namespace portio
