// Sessions of the real controller over whatever backend the environment picks.
#include "GuestSession.h"

#include "GuestTools.h"
#include "ParPort.h"
#include "PortAccess.h"
#include "Scenario.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>

namespace guest {
namespace {

using Clock = std::chrono::steady_clock;

// Chooses the backend now, as the application's first port access would.
// Prints why not and returns false when the port was refused.
bool selectBackend()
{
    const auto start = Clock::now();
    portio::current();
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (const std::string failure = portio::startupFailure(); !failure.empty()) {
        std::printf("failure: %s\n", failure.c_str());
        std::printf("refused after %lld ms\n", static_cast<long long>(took.count()));
        return false;
    }
    if (const std::string notice = portio::startupNotice(); !notice.empty())
        std::printf("notice: %s\n", notice.c_str());
    return true;
}

void printRegisters(ParPort& port, const char* prefix)
{
    const std::uint8_t data = port.InPort(port.Base() + ParPort::kDataOffset);
    const std::uint8_t control = port.InPort(port.Base() + ParPort::kControlOffset);
    std::printf("%s data 0x%02X control 0x%02X\n", prefix, data, control);
}

} // namespace

int session(unsigned char pulse)
{
    if (!selectBackend())
        return 1;
    {
        ParPort port;
        std::printf("found data 0x%02X control 0x%02X\n", port.SavedData(), port.SavedControl());
        for (const vm::Step& step : vm::scenarioSteps(pulse)) {
            port.SetLine(step.line, step.state);
            char prefix[32];
            std::snprintf(prefix, sizeof prefix, "after %u %d", unsigned(step.line), int(step.state));
            printRegisters(port, prefix);
        }
    }
    portio::install(nullptr); // releases the port, then the lock
    std::printf("released\n");
    return 0;
}

int directionGuard()
{
    if (!selectBackend())
        return 1;
    {
        ParPort port;
        port.OutPort(port.Base() + ParPort::kDataOffset, 0x5A);
        port.OutPort(port.Base() + ParPort::kControlOffset, 0x24);
        std::printf("data reads 0x%02X\n", port.InPort(port.Base() + ParPort::kDataOffset));
    }
    portio::install(nullptr);
    std::printf("released\n");
    return 0;
}

int deviceGone()
{
    portio::setFaultHandler([](const std::string& message) { std::printf("fault: %s\n", message.c_str()); });
    if (!selectBackend())
        return 1;
    {
        ParPort port;
        port.SetLine(1, 1);
        if (!replaceDescriptorsOf("/dev/parport0"))
            return 1;
        port.SetLine(2, 1);
        port.SetLine(3, 1);
        std::printf("status reads 0x%02X\n", port.ReadStatus(5));
    }
    portio::install(nullptr);
    std::printf("survived\n");
    return 0;
}

int hold()
{
    const sigset_t terminate = blockSigterm();
    if (!selectBackend())
        return 1;
    {
        ParPort port;
        port.SetLine(1, 1);
        std::printf("holding\n");
        std::fflush(stdout);
        std::ofstream("/tmp/tenvaro-holding") << "holding\n";
        awaitSigterm(terminate);
    }
    std::printf("restored\n");
    return 0;
}

int claim()
{
    if (!selectBackend())
        return 1;
    std::printf("claimed\n");
    portio::install(nullptr);
    return 0;
}

} // namespace guest
