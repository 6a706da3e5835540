// The simulated port: register semantics, and state kept in its file.
#include "SimulatedPort.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using portio::SimulatedPort;
using Bytes = std::vector<unsigned char>;

TEST(SimulatedPort, NewFileStartsWithTheIdleRegisters)
{
    TempDir dir;
    SimulatedPort port(dir.file("port"));
    EXPECT_EQ(fileBytes(dir.file("port")), (Bytes{0x00, 0x7F, 0x0C}));
    EXPECT_EQ(port.read(0x378), 0x00);
    EXPECT_EQ(port.read(0x379), 0x7F);
    EXPECT_EQ(port.read(0x37A), 0x0C);
}

TEST(SimulatedPort, DataAndControlReadBackWhatWasWrittenStatusWhatTheFileHolds)
{
    TempDir dir;
    SimulatedPort port(dir.file("port"));
    port.write(0x378, 0xA5);
    port.write(0x37A, 0x05);
    EXPECT_EQ(port.read(0x378), 0xA5);
    EXPECT_EQ(port.read(0x37A), 0x05);
    EXPECT_EQ(fileBytes(dir.file("port")), (Bytes{0xA5, 0x7F, 0x05}));

    // Another program sets the inputs.
    writeBytes(dir.file("port"), {0xA5, 0x58, 0x05});
    EXPECT_EQ(port.read(0x379), 0x58);
}

TEST(SimulatedPort, AddressesOutsideThePortReadFFAndIgnoreWrites)
{
    TempDir dir;
    SimulatedPort port(dir.file("port"));
    for (std::uint32_t address : {0x377u, 0x37Bu, 0x278u, 0x27Au, 0x3BCu, 0u, 0xFFFFFFFFu}) {
        port.write(address, 0x12);
        EXPECT_EQ(port.read(address), 0xFF) << std::hex << address;
    }
    EXPECT_EQ(fileBytes(dir.file("port")), (Bytes{0x00, 0x7F, 0x0C}));
}

TEST(SimulatedPort, ExistingBytesAreKeptAndOnlyMissingOnesFilled)
{
    TempDir dir;
    writeBytes(dir.file("port"), {0x33});
    SimulatedPort port(dir.file("port"));
    EXPECT_EQ(fileBytes(dir.file("port")), (Bytes{0x33, 0x7F, 0x0C}));
}

TEST(SimulatedPort, StateOutlivesTheProcessThatWroteIt)
{
    TempDir dir;
    const std::string path = dir.file("port");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SimulatedPort port(path);
        port.write(0x378, 0x81);
        port.write(0x37A, 0x0B);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    SimulatedPort port(path);
    EXPECT_EQ(port.read(0x378), 0x81);
    EXPECT_EQ(port.read(0x37A), 0x0B);
}

TEST(SimulatedPort, AFileThatCannotBeOpenedIsAClearError)
{
    TempDir dir;
    try {
        SimulatedPort port(dir.file("no-such-dir/port"));
        FAIL() << "opened a file in a missing directory";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no-such-dir/port"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }
}

} // namespace
