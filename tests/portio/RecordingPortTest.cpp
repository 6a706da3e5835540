// The recording fake answers reads the way the tests rely on.
#include "RecordingPort.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using portio::PortCall;
using portio::RecordingPort;

TEST(RecordingPort, ScriptedReadsComeFirstThenWhatWasLastWritten)
{
    RecordingPort port;
    EXPECT_EQ(port.read(0x378), 0xFF) << "an address never written reads as an empty bus";
    port.write(0x378, 0x11);
    port.scriptReads(0x378, {0x22, 0x33});
    EXPECT_EQ(port.read(0x378), 0x22);
    EXPECT_EQ(port.read(0x378), 0x33);
    EXPECT_EQ(port.read(0x378), 0x11);
    EXPECT_EQ(port.calls().size(), 5u);
    EXPECT_EQ(port.calls()[1], (PortCall{PortCall::Write, 0x378, 0x11}));
}

TEST(RecordingPort, PrintsCallsInTraceForm)
{
    std::ostringstream out;
    out << PortCall{PortCall::Write, 0x37A, 0x05} << ' ' << PortCall{PortCall::Read, 0x378, 0xAB};
    EXPECT_EQ(out.str(), "W 0x37A 0x05 R 0x378 0xAB");
}

} // namespace
