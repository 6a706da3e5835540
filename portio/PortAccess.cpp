// Holds the one backend of the process and the fault handler.
#include "PortAccess.h"

#include "BackendSelector.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace portio {
namespace {

std::unique_ptr<PortBackend>& slot()
{
    // A function-local static, so that ports touched during static
    // initialisation of other units find it constructed.
    static std::unique_ptr<PortBackend> backend;
    return backend;
}

struct StartupMessages {
    std::string notice;
    std::string failure;
};

StartupMessages& startupMessages()
{
    static StartupMessages messages;
    return messages;
}

FaultHandler& faultHandler()
{
    // Never destroyed: the port is restored during static destruction, after
    // a plain static here would already be gone.
    static FaultHandler* handler = new FaultHandler;
    return *handler;
}

void dropFaultHandler()
{
    faultHandler() = nullptr;
}

} // namespace

PortBackend& current()
{
    auto& backend = slot();
    if (!backend) {
        Selection chosen = BackendSelector::fromEnvironment();
        if (!chosen.backend) {
            std::fprintf(stderr, "Tenvaro: %s\n", chosen.error.c_str());
            std::exit(chosen.exitCode);
        }
        backend = std::move(chosen.backend);
        startupMessages().notice = chosen.notice;
        startupMessages().failure = chosen.failure;
    }
    return *backend;
}

std::string startupNotice()
{
    return startupMessages().notice;
}

std::string startupFailure()
{
    return startupMessages().failure;
}

std::unique_ptr<PortBackend> install(std::unique_ptr<PortBackend> backend)
{
    return std::exchange(slot(), std::move(backend));
}

void setFaultHandler(FaultHandler handler)
{
    // A handler usually reaches into the toolkit, which may end the process
    // with exit() from deep inside (its display gone) before the handler is
    // taken back. Registered now, after the port's controller was built,
    // this runs before the controller's destructor, so faults while
    // restoring go to stderr instead of into a toolkit that is shutting down.
    static const bool dropAtExit = std::atexit(dropFaultHandler) == 0;
    (void)dropAtExit;
    faultHandler() = std::move(handler);
}

void reportFault(const std::string& message)
{
    const FaultHandler& handler = faultHandler();
    if (handler)
        handler(message);
    else
        std::fprintf(stderr, "Tenvaro: %s\n", message.c_str());
}

} // namespace portio
