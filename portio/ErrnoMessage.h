// Turns a failed system call into one sentence that says what went wrong and
// how to fix it, so every backend words its errors the same way.
#pragma once

#include <string>

namespace portio {

// `action` says what was tried, e.g. "open /dev/parport0".
std::string errnoMessage(const std::string& action, int error);

} // namespace portio
