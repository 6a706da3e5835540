// A plain timing loop: Google Benchmark has no static library on Debian, and
// the guest program must be static.
#include "GuestBench.h"

#include "ParPort.h"
#include "PortAccess.h"
#include "PortIO.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace guest {
namespace {

using Clock = std::chrono::steady_clock;

// Nanoseconds per call of `body`, the median of five runs of about 50 ms.
template <typename Body>
double nanosecondsPerCall(Body body)
{
    long calls = 64;
    for (;;) {
        const auto start = Clock::now();
        for (long i = 0; i < calls; ++i)
            body(i);
        if (Clock::now() - start > std::chrono::milliseconds(50))
            break;
        calls *= 2;
    }
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        for (long i = 0; i < calls; ++i)
            body(i);
        runs.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count() / double(calls));
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int bench()
{
    portio::current();
    if (const std::string failure = portio::startupFailure(); !failure.empty()) {
        std::printf("failure: %s\n", failure.c_str());
        return 1;
    }
    const char* mode = std::getenv("TENVARO_PORTIO");
    const std::string backend = mode ? mode : "auto";
    double setLine = 0;
    double bare = 0;
    {
        ParPort port;
        // Data lines only: the control lines would clock bytes out to the host.
        setLine = nanosecondsPerCall([&](long i) {
            port.SetLine(1 + std::uint32_t(i & 7), std::int32_t((i >> 3) & 1));
        });
        bare = nanosecondsPerCall([&](long i) {
            const std::uint8_t value = DlPortReadPortUchar(0x378);
            DlPortWritePortUchar(0x378, std::uint8_t(value ^ (1u << (i & 7))));
        });
    }
    std::printf("bench %s: SetLine %.0f ns, bare read+write %.0f ns, ratio %.3f\n", backend.c_str(), setLine,
                bare, setLine / bare);
    return 0;
}

} // namespace guest
