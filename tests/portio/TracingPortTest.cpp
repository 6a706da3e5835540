// The trace file: one whole line per call, even when the process is killed.
#include "TracingPort.h"

#include "RecordingPort.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using portio::RecordingPort;
using portio::TracingPort;

TEST(TracingPort, AppendsOneLinePerCallAndPassesEachCallThroughOnce)
{
    TempDir dir;
    const std::string trace = dir.file("trace");
    writeBytes(trace, {'x', '\n'}); // an earlier run's lines are kept
    auto fake = std::make_unique<RecordingPort>();
    RecordingPort* inner = fake.get();
    fake->preset(0x378, 0x0F);
    {
        TracingPort port(std::move(fake), trace);
        EXPECT_EQ(port.read(0x378), 0x0F);
        port.write(0x37A, 0x05);
        port.write(0x3BC, 0xFF);
        EXPECT_EQ(inner->calls().size(), 3u);
    }
    EXPECT_EQ(fileText(trace), "x\nR 0x378 0x0F\nW 0x37A 0x05\nW 0x3BC 0xFF\n");
}

TEST(TracingPort, AKilledProcessLeavesOnlyWholeLines)
{
    TempDir dir;
    const std::string trace = dir.file("trace");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TracingPort port(std::make_unique<RecordingPort>(), trace);
        port.write(0x378, 0x01);
        port.write(0x378, 0x02);
        ::kill(::getpid(), SIGKILL);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(fileText(trace), "W 0x378 0x01\nW 0x378 0x02\n");
}

TEST(TracingPort, AnUnopenableTraceFileIsAClearError)
{
    TempDir dir;
    EXPECT_THROW(TracingPort(std::make_unique<RecordingPort>(), dir.file("missing/trace")),
                 std::runtime_error);
}

} // namespace
