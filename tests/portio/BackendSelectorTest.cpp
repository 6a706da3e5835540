// Choosing the backend from the environment, and refusing bad values before
// the port is touched.
#include "BackendSelector.h"

#include "FakeEnvironment.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using portio::BackendSelector;

using Env = FakeEnvironment;

TEST(BackendSelector, SimWithTraceReachesTheFileAndTracesEachCall)
{
    TempDir dir;
    Env env{{{"TENVARO_PORTIO", "sim"},
             {"TENVARO_PORTIO_SIM", dir.file("port")},
             {"TENVARO_PORTIO_TRACE", dir.file("trace")}}};
    auto chosen = BackendSelector::select(env.getter());
    ASSERT_TRUE(chosen.backend) << chosen.error;
    chosen.backend->write(0x378, 0x42);
    EXPECT_EQ(chosen.backend->read(0x378), 0x42);
    EXPECT_EQ(fileBytes(dir.file("port"))[0], 0x42);
    EXPECT_EQ(fileText(dir.file("trace")), "W 0x378 0x42\nR 0x378 0x42\n");
}

TEST(BackendSelector, UnsetOrEmptyMeansTheDefault)
{
    TempDir dir;
    portio::SystemPaths noPort{dir.file("no-proc"), dir.file("no-dev"), dir.file("no-proc"), dir.file("")};
    for (const char* mode : std::initializer_list<const char*>{"", nullptr}) {
        Env env{{{"TENVARO_PORTIO_SIM", dir.file("port")}}};
        if (mode)
            env.values["TENVARO_PORTIO"] = mode;
        auto chosen = BackendSelector::select(env.getter(), noPort);
        EXPECT_TRUE(chosen.backend) << chosen.error;
        EXPECT_TRUE(chosen.failure.empty()) << chosen.failure;
    }
}

struct BadCase {
    const char* variable;
    std::string value;
    const char* mentions; // part of the message that tells the fix
};

std::ostream& operator<<(std::ostream& out, const BadCase& c)
{
    return out << c.variable << "=" << c.value;
}

class BadConfiguration : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadConfiguration, NamesTheVariableAndTheFixAndExitsWith2BeforeTouchingThePort)
{
    TempDir dir;
    const BadCase& c = GetParam();
    Env env{{{"TENVARO_PORTIO", "sim"}, {"TENVARO_PORTIO_SIM", dir.file("port")}}};
    env.values[c.variable] = c.value == "DIR" ? dir.file("") : c.value;
    auto chosen = BackendSelector::select(env.getter());
    EXPECT_FALSE(chosen.backend);
    EXPECT_EQ(chosen.exitCode, 2);
    EXPECT_NE(chosen.error.find(c.variable), std::string::npos) << chosen.error;
    EXPECT_NE(chosen.error.find(c.mentions), std::string::npos) << chosen.error;
    if (std::string(c.variable) == "TENVARO_PORTIO") {
        EXPECT_FALSE(std::filesystem::exists(dir.file("port")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Variables, BadConfiguration,
    ::testing::Values(BadCase{"TENVARO_PORTIO", "simulated", "use one of: auto, ppdev, direct, sim"},
                      BadCase{"TENVARO_PORTIO", "SIM", "use one of: auto, ppdev, direct, sim"},
                      BadCase{"TENVARO_PORTIO", "lpt1", "use one of: auto, ppdev, direct, sim"},
                      BadCase{"TENVARO_PORTIO_TRACE", "/nonexistent-dir/trace", "writable directory"},
                      BadCase{"TENVARO_PORTIO_TRACE", "DIR", "writable directory"},
                      BadCase{"TENVARO_PORTIO_SIM", "/nonexistent-dir/port", "writable file path"}));

} // namespace
