// Choosing a real port on a machine that has none: auto falls back to the
// simulated port and says why, the explicit ways fail without touching
// anything, and a second Tenvaro on a port is refused.
#include "BackendSelector.h"
#include "PortLock.h"

#include "FakeEnvironment.h"
#include "FakeParportTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using portio::BackendSelector;
using portio::Selection;

using Env = FakeEnvironment;

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

Selection choose(const FakeParportTree& tree, const std::string& mode)
{
    Env env{{{"TENVARO_PORTIO", mode}, {"TENVARO_PORTIO_SIM", tree.file("port")}}};
    return BackendSelector::select(env.getter(), tree.paths());
}

std::string realLock(const FakeParportTree& tree)
{
    return tree.file("tenvaro-378.lock");
}

template <typename Scratch>
void expectStandIn(Selection& chosen, const Scratch& tree)
{
    ASSERT_TRUE(chosen.backend);
    EXPECT_EQ(chosen.backend->read(0x378), 0xFF);
    EXPECT_EQ(chosen.backend->read(0x37A), 0xFF);
    chosen.backend->write(0x378, 0x00);
    chosen.backend->write(0x37A, 0x05);
    EXPECT_FALSE(std::filesystem::exists(tree.file("port"))) << "the stand-in created the simulated port";
}

TEST(RealPortSelection, AutoWithoutAPortDrivesTheSimulatedOneAndSaysWhy)
{
    FakeParportTree tree;
    Selection chosen = choose(tree, "auto");
    ASSERT_TRUE(chosen.backend) << chosen.error;
    EXPECT_TRUE(chosen.failure.empty()) << chosen.failure;
    for (const char* part : {"0x378", "simulated port", "Through ppdev: no parallel port at 0x378",
                             "sudo modprobe -a parport_pc ppdev", "Directly: "})
        EXPECT_TRUE(contains(chosen.notice, part)) << "missing \"" << part << "\" in:\n" << chosen.notice;
    EXPECT_TRUE(contains(chosen.notice, tree.file("port"))) << chosen.notice;

    chosen.backend->write(0x378, 0x5A);
    EXPECT_EQ(fileBytes(tree.file("port"))[0], 0x5A);
}

TEST(RealPortSelection, AutoLeavesTheRealPortFreeWhenItFallsBack)
{
    FakeParportTree tree;
    Selection chosen = choose(tree, "auto");
    ASSERT_TRUE(chosen.backend) << chosen.error;
    EXPECT_NO_THROW(portio::PortLock(realLock(tree)));
}

struct ExplicitCase {
    const char* mode;
    std::vector<std::string> mentions;
};

std::ostream& operator<<(std::ostream& out, const ExplicitCase& c)
{
    return out << c.mode;
}

class ExplicitWayWithoutPort : public ::testing::TestWithParam<ExplicitCase> {};

TEST_P(ExplicitWayWithoutPort, FailsWithTheFixAndTouchesNothing)
{
    FakeParportTree tree;
    Selection chosen = choose(tree, GetParam().mode);
    EXPECT_TRUE(chosen.notice.empty()) << chosen.notice;
    for (const std::string& part : GetParam().mentions)
        EXPECT_TRUE(contains(chosen.failure, part)) << "missing \"" << part << "\" in:\n" << chosen.failure;
    expectStandIn(chosen, tree);
    EXPECT_NO_THROW(portio::PortLock(realLock(tree))) << "a failed start kept the port locked";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ExplicitWayWithoutPort,
    ::testing::Values(ExplicitCase{"ppdev", {"TENVARO_PORTIO=ppdev: ", "no parallel port at 0x378",
                                             "the kernel lists no parallel port at all", "parport_pc and ppdev"}},
                      // Without a port (and, in a sandbox, without ioperm) the
                      // reason varies; it always names the port and the way.
                      ExplicitCase{"direct", {"TENVARO_PORTIO=direct: ", "0x378"}}));

TEST(RealPortSelection, PpdevWithThePortListedButNoDeviceNodeAsksForTheModule)
{
    FakeParportTree tree;
    tree.addPort("parport0", 0x278);
    tree.addPort("parport1", 0x378);
    Selection chosen = choose(tree, "ppdev");
    for (const std::string& part : {tree.devices() + "/parport1", std::string("modprobe -a parport_pc ppdev")})
        EXPECT_TRUE(contains(chosen.failure, part)) << "missing \"" << part << "\" in:\n" << chosen.failure;
}

TEST(RealPortSelection, AutoLeavesAPortThePrinterDriverHoldsAlone)
{
    // ppdev is not loaded, so its failure says nothing of holders; the
    // kernel's list still shows the printer driver on the port.
    FakeParportTree tree;
    tree.addPort("parport0", 0x378);
    tree.registerDevice("parport0", "lp");
    Selection chosen = choose(tree, "auto");
    ASSERT_TRUE(chosen.backend) << chosen.error;
    EXPECT_TRUE(contains(chosen.notice, "Directly: not tried, since the port is held by the lp printer driver (lp)"))
        << chosen.notice;
    EXPECT_TRUE(contains(chosen.notice, "sudo modprobe -a parport_pc ppdev")) << chosen.notice;
}

TEST(RealPortSelection, PpdevNamesTheBasesTheKernelDoesList)
{
    FakeParportTree tree;
    tree.addPort("parport0", 0x278);
    Selection chosen = choose(tree, "ppdev");
    EXPECT_TRUE(contains(chosen.failure, "the kernel lists ports at 0x278 only")) << chosen.failure;
}

// A Tenvaro already running, in the way `first` says: a mode to select, or
// "real" for one that holds a real port's lock.
struct SecondCase {
    const char* first;
    const char* second;
};

std::ostream& operator<<(std::ostream& out, const SecondCase& c)
{
    return out << c.first << "_then_" << c.second;
}

class SecondInstance : public ::testing::TestWithParam<SecondCase> {};

TEST_P(SecondInstance, IsRefusedNamingTheFirstAndLeavesItsPinsAlone)
{
    FakeParportTree tree;
    std::unique_ptr<portio::PortLock> realHolder;
    Selection first;
    if (std::string(GetParam().first) == "real") {
        realHolder = std::make_unique<portio::PortLock>(realLock(tree));
    } else {
        first = choose(tree, GetParam().first);
        ASSERT_TRUE(first.backend && first.failure.empty()) << first.error << first.failure;
        first.backend->write(0x378, 0xA5);
    }
    const auto before = fileBytes(tree.file("port"));

    Selection second = choose(tree, GetParam().second);
    const std::string port = first.backend ? "the simulated port " + tree.file("port") : "the parallel port at 0x378";
    EXPECT_TRUE(contains(second.failure,
                         port + " is already in use by Tenvaro (process " + std::to_string(::getpid()) + ")"))
        << second.failure;
    ASSERT_TRUE(second.backend);
    second.backend->write(0x378, 0x00);
    second.backend->write(0x37A, 0x05);
    EXPECT_EQ(fileBytes(tree.file("port")), before) << "the refused instance touched the port";
}

INSTANTIATE_TEST_SUITE_P(Modes, SecondInstance,
                         ::testing::Values(SecondCase{"sim", "sim"}, SecondCase{"sim", "auto"},
                                           SecondCase{"auto", "auto"}, SecondCase{"auto", "sim"},
                                           SecondCase{"real", "auto"}, SecondCase{"real", "ppdev"},
                                           SecondCase{"real", "direct"}));

// The real /proc, /dev and ioperm of the machine the tests run on, which has
// no parallel port (on one that has, the virtual machine test covers it).
class ThisMachine : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::filesystem::exists("/proc/sys/dev/parport/parport0"))
            GTEST_SKIP() << "this machine has a parallel port";
    }

    Selection choose(const char* mode) const
    {
        Env env{{{"TENVARO_PORTIO", mode}, {"TENVARO_PORTIO_SIM", dir_.file("port")}}};
        portio::SystemPaths paths;
        paths.lockDirectory = dir_.file("");
        return BackendSelector::select(env.getter(), paths);
    }

    TempDir dir_;
};

TEST_F(ThisMachine, AutoFallsBackToTheSimulatedPortWithTheNotice)
{
    Selection chosen = choose("auto");
    ASSERT_TRUE(chosen.backend) << chosen.error;
    EXPECT_TRUE(chosen.failure.empty()) << chosen.failure;
    if (chosen.notice.empty()) {
        // Only root outside a sandbox, on a PC whose 0x378 answers, gets here.
        EXPECT_FALSE(std::filesystem::exists(dir_.file("port")));
        return;
    }
    for (const char* part : {"drives a simulated port instead", "Through ppdev: no parallel port at 0x378",
                             "Directly: "})
        EXPECT_TRUE(contains(chosen.notice, part)) << "missing \"" << part << "\" in:\n" << chosen.notice;
}

TEST_F(ThisMachine, PpdevFailsNamingTheModules)
{
    Selection chosen = choose("ppdev");
    EXPECT_TRUE(contains(chosen.failure, "TENVARO_PORTIO=ppdev: no parallel port at 0x378")) << chosen.failure;
    EXPECT_TRUE(contains(chosen.failure, "sudo modprobe -a parport_pc ppdev")) << chosen.failure;
    expectStandIn(chosen, dir_);
}

TEST_F(ThisMachine, DirectFailsSayingWhy)
{
    Selection chosen = choose("direct");
    if (chosen.failure.empty())
        GTEST_SKIP() << "this machine lets root reach 0x378 directly and something answers there";
    EXPECT_TRUE(contains(chosen.failure, "TENVARO_PORTIO=direct: ")) << chosen.failure;
    EXPECT_TRUE(contains(chosen.failure, "0x378")) << chosen.failure;
    EXPECT_TRUE(contains(chosen.failure, "CAP_SYS_RAWIO") || contains(chosen.failure, "refuses direct port access") ||
                contains(chosen.failure, "registers all read 0xFF"))
        << chosen.failure;
    expectStandIn(chosen, dir_);
}

} // namespace
