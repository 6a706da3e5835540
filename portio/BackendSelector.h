// Chooses the port backend from the environment:
//   TENVARO_PORTIO        which backend (see kModes); unset means auto
//   TENVARO_PORTIO_TRACE  a file to append a line per port call to
//   TENVARO_PORTIO_SIM    the simulated port's file
//
// auto takes the port through ppdev when it can be claimed, else directly
// when that is permitted, else the simulated port with a notice saying why
// and how to get the real one. ppdev and direct never fall back: when the
// port cannot be had that way, the selection fails (see Selection::failure).
// Whatever the backend, a lock per port is taken before anything touches it,
// so a second Tenvaro on the same port is refused.
#pragma once

#include "PortBackend.h"

#include <cstdint>
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

// Where the selector looks; tests point these at directories of their own.
struct SystemPaths {
    std::string parportProc = "/proc/sys/dev/parport";
    std::string devices = "/dev";
    std::string processes = "/proc";
    std::string lockDirectory; // empty: PortLock::defaultDirectory()
};

class BackendSelector {
public:
    using Getenv = std::function<const char*(const char* name)>;

    static constexpr const char* kModes = "auto, ppdev, direct, sim";
    static constexpr const char* kDefaultMode = "auto";
    static constexpr std::uint32_t kBase = 0x378;
    static constexpr int kBadConfiguration = 2;

    static Selection fromEnvironment();
    static Selection select(const Getenv& getenv, const SystemPaths& paths = {});
};

} // namespace portio
