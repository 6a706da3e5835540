// Chooses the port backend from the environment:
//   TENVARO_PORTIO        which backend (see kModes); unset means the default
//   TENVARO_PORTIO_TRACE  a file to append a line per port call to
//   TENVARO_PORTIO_SIM    the simulated port's file
#pragma once

#include "PortBackend.h"

#include <functional>
#include <memory>
#include <string>

namespace portio {

struct Selection {
    std::unique_ptr<PortBackend> backend; // null when the choice failed
    std::string error;                    // why, and how to fix it
    int exitCode = 0;                     // what the process should exit with then
    // With a backend: shown before the window (e.g. the simulated port stands
    // in for a missing one), or, when the port asked for cannot be had, the
    // reason the application exits 1 (the backend then touches nothing).
    std::string notice;
    std::string failure;
};

class BackendSelector {
public:
    using Getenv = std::function<const char*(const char* name)>;

    static constexpr const char* kModes = "sim";
    static constexpr const char* kDefaultMode = "sim";
    static constexpr int kBadConfiguration = 2;

    static Selection fromEnvironment();
    static Selection select(const Getenv& getenv);
};

} // namespace portio
