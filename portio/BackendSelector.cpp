// Reads the port-I/O variables and builds the backend they ask for.
#include "BackendSelector.h"

#include "SimulatedPort.h"
#include "TracingPort.h"

#include <cstdlib>
#include <stdexcept>

namespace portio {
namespace {

Selection failure(std::string message, int exitCode)
{
    Selection result;
    result.error = std::move(message);
    result.exitCode = exitCode;
    return result;
}

std::string valueOf(const BackendSelector::Getenv& getenv, const char* name)
{
    const char* value = getenv(name);
    return value ? value : "";
}

} // namespace

Selection BackendSelector::fromEnvironment()
{
    return select([](const char* name) { return std::getenv(name); });
}

Selection BackendSelector::select(const Getenv& getenv)
{
    std::string mode = valueOf(getenv, "TENVARO_PORTIO");
    if (mode.empty())
        mode = kDefaultMode;
    if (mode != "sim")
        return failure("TENVARO_PORTIO=" + mode + " is not a port backend; use one of: " + kModes,
                       kBadConfiguration);

    std::unique_ptr<PortBackend> backend;
    const std::string simPath = valueOf(getenv, "TENVARO_PORTIO_SIM");
    try {
        backend = std::make_unique<SimulatedPort>(simPath.empty() ? SimulatedPort::defaultPath() : simPath);
    } catch (const std::runtime_error& e) {
        return failure(std::string(e.what()) + "; set TENVARO_PORTIO_SIM to a writable file path",
                       kBadConfiguration);
    }

    const std::string tracePath = valueOf(getenv, "TENVARO_PORTIO_TRACE");
    if (!tracePath.empty()) {
        try {
            backend = std::make_unique<TracingPort>(std::move(backend), tracePath);
        } catch (const std::runtime_error& e) {
            return failure("TENVARO_PORTIO_TRACE: " + std::string(e.what()) +
                               "; give a file in a writable directory, or leave it unset",
                           kBadConfiguration);
        }
    }
    Selection result;
    result.backend = std::move(backend);
    return result;
}

} // namespace portio
