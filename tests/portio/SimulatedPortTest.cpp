// The simulated port: register semantics, and state kept in its file.
#include "SimulatedPort.h"
#include "PortAccess.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// What happens to the file while the program runs: each access that cannot
// reach it is reported with the file's name, the read gives an empty bus's
// 0xFF, and the port object goes on working for the next access.
struct RunTimeFault {
    const char* name;
    std::function<void(const std::string& path)> damage;
    std::function<int(SimulatedPort&)> access; // the value read, or -1 for a write
    int expectedValue;
    const char* expectedFault;
};

// Writes past this many bytes fail with EFBIG while it is set.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

class SimulatedPortFault : public ::testing::TestWithParam<RunTimeFault> {
protected:
    void SetUp() override
    {
        portio::setFaultHandler([this](const std::string& message) { faults_.push_back(message); });
    }
    void TearDown() override { portio::setFaultHandler(nullptr); }

    std::vector<std::string> faults_;
};

TEST_P(SimulatedPortFault, IsReportedNamingTheFileAndThePortGoesOn)
{
    const RunTimeFault& fault = GetParam();
    TempDir dir;
    const std::string path = dir.file("port");
    SimulatedPort port(path);

    fault.damage(path);
    EXPECT_EQ(fault.access(port), fault.expectedValue);

    ASSERT_EQ(faults_.size(), 1u);
    EXPECT_NE(faults_[0].find(path), std::string::npos) << faults_[0];
    EXPECT_NE(faults_[0].find(fault.expectedFault), std::string::npos) << faults_[0];
    EXPECT_EQ(port.read(0x3FF), 0xFF) << "an address outside the port never touches the file";
    EXPECT_EQ(faults_.size(), 1u);
}

const RunTimeFault kRunTimeFaults[] = {
    {"truncated_file_read", [](const std::string& path) { writeBytes(path, {0x00}); },
     [](SimulatedPort& port) { return int(port.read(0x37A)); }, 0xFF, "the file was truncated"},
    {"removed_file_write", [](const std::string& path) { std::filesystem::remove(path); },
     [](SimulatedPort& port) {
         port.write(0x378, 0x10);
         return -1;
     },
     -1, "was removed"},
    {"write_refused_by_the_system",
     [](const std::string& path) {
         // Shrink the file so the control byte lies past the limit set below.
         writeBytes(path, {0x00, 0x7F});
     },
     [](SimulatedPort& port) {
         FileSizeLimit limit(2);
         port.write(0x37A, 0x04);
         return -1;
     },
     -1, "write the simulated port"},
};

INSTANTIATE_TEST_SUITE_P(Cases, SimulatedPortFault, ::testing::ValuesIn(kRunTimeFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
