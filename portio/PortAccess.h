// Which backend the two port operations reach, and how faults get reported.
//
// The backend is chosen once, at the first port access, from the environment
// (see BackendSelector). Tests and tools may install one of their own first.
#pragma once

#include "PortBackend.h"

#include <functional>
#include <memory>
#include <string>

namespace portio {

// The backend in use; chosen from the environment on first use. A bad
// configuration ends the process with exit code 2 before any port access.
PortBackend& current();

// When the backend chosen at start is not the one asked for (no port found,
// so the simulated one stands in), why, and how to get the real one. The
// application shows it before its window appears. Empty when there is none.
std::string startupNotice();

// When the backend asked for explicitly cannot be had, why, and how to fix
// it. The port has not been touched (a stand-in that touches nothing takes
// the calls); the application shows this and exits with code 1.
std::string startupFailure();

// Puts `backend` in place of whatever was in use and hands the old one back.
std::unique_ptr<PortBackend> install(std::unique_ptr<PortBackend> backend);

// Faults that happen after start (a device gone, a file unwritable) cannot be
// returned through the byte-wide operations, so backends report them here.
// The default handler writes the message to stderr. A handler set is
// dropped again when the process exits, before the objects built before the
// first setFaultHandler call are destroyed (so before a restore made by a
// static controller's destructor).
using FaultHandler = std::function<void(const std::string& message)>;
void setFaultHandler(FaultHandler handler);
void reportFault(const std::string& message);

} // namespace portio
