// What the controller adds to a port access: SetLine next to one bare read
// plus one bare write through the same backend.
#include "ParPort.h"
#include "PortAccess.h"
#include "PortIO.h"
#include "RatioReporter.h"
#include "RecordingPort.h"
#include "SimulatedPort.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string scratchFile()
{
    std::string path = "/tmp/tenvaro-bench-XXXXXX";
    const int fd = ::mkstemp(path.data());
    ::close(fd);
    ::unlink(path.c_str());
    return path;
}

std::unique_ptr<portio::PortBackend> makeBackend(const std::string& kind, const std::string& simPath)
{
    if (kind == "sim")
        return std::make_unique<portio::SimulatedPort>(simPath);
    return std::make_unique<portio::RecordingPort>();
}

// The recording fake grows with every call; keep it from dominating.
void trim(portio::PortBackend& backend)
{
    if (auto* fake = dynamic_cast<portio::RecordingPort*>(&backend))
        fake->clearCalls();
}

void BM_SetLine(benchmark::State& state, const std::string& kind)
{
    const std::string path = scratchFile();
    portio::install(makeBackend(kind, path));
    {
        ParPort parPort;
        std::uint32_t line = 0;
        std::int32_t level = 0;
        for (auto _ : state) {
            parPort.SetLine(line, level);
            line = (line + 1) % ParPort::kLineCount;
            level ^= line == 0;
            if ((state.iterations() & 1023) == 0)
                trim(portio::current());
        }
    }
    portio::install(nullptr);
    ::unlink(path.c_str());
}

void BM_BareReadWrite(benchmark::State& state, const std::string& kind)
{
    const std::string path = scratchFile();
    portio::install(makeBackend(kind, path));
    std::uint8_t value = 0;
    for (auto _ : state) {
        value = DlPortReadPortUchar(0x378);
        DlPortWritePortUchar(0x378, std::uint8_t(value ^ 1));
        if ((state.iterations() & 1023) == 0)
            trim(portio::current());
    }
    benchmark::DoNotOptimize(value);
    portio::install(nullptr);
    ::unlink(path.c_str());
}

BENCHMARK_CAPTURE(BM_SetLine, sim, std::string("sim"));
BENCHMARK_CAPTURE(BM_BareReadWrite, sim, std::string("sim"));
BENCHMARK_CAPTURE(BM_SetLine, recording, std::string("recording"));
BENCHMARK_CAPTURE(BM_BareReadWrite, recording, std::string("recording"));

} // namespace

int main(int argc, char** argv)
{
    return runWithRatios(argc, argv,
                         {{"BM_SetLine/sim", "BM_BareReadWrite/sim"},
                          {"BM_SetLine/recording", "BM_BareReadWrite/recording"}});
}
