// Finding a port's device by its base, and naming who holds it.
#include "ParportDirectory.h"

#include "FakeParportTree.h"

#include <gtest/gtest.h>

namespace {

using portio::ParportDirectory;

TEST(ParportDirectory, FindsThePortByTheFirstNumberOfItsBaseAddr)
{
    FakeParportTree tree;
    tree.addPort("parport0", 0x278);
    tree.addPort("parport1", 0x378);
    const ParportDirectory directory(tree.parportProc(), tree.devices(), tree.processes());

    EXPECT_EQ(directory.portAt(0x378), "parport1");
    EXPECT_EQ(directory.portAt(0x278), "parport0");
    EXPECT_EQ(directory.portAt(0x778), std::nullopt); // the second number is the ECR, not a base
    EXPECT_EQ(directory.portAt(0x3BC), std::nullopt);
    EXPECT_EQ(directory.bases(), (std::vector<std::uint32_t>{0x278, 0x378}));
    EXPECT_EQ(directory.devicePath("parport1"), tree.devices() + "/parport1");
}

TEST(ParportDirectory, NoDriverLoadedListsNothing)
{
    const ParportDirectory directory("/nonexistent/parport", "/nonexistent/dev", "/nonexistent/proc");
    EXPECT_EQ(directory.portAt(0x378), std::nullopt);
    EXPECT_TRUE(directory.bases().empty());
    EXPECT_TRUE(directory.holders("parport0").empty());
}

struct HolderCase {
    const char* registered; // entry under devices/
    const char* described;  // part of the description
};

class Holders : public ::testing::TestWithParam<HolderCase> {};

TEST_P(Holders, NameWhoIsRegistered)
{
    FakeParportTree tree;
    tree.addPort("parport0", 0x378);
    tree.registerDevice("parport0", GetParam().registered);
    tree.addProcess(4242, "holder", tree.devices() + "/parport0");
    tree.addProcess(4343, "bystander", "/dev/null");
    const ParportDirectory directory(tree.parportProc(), tree.devices(), tree.processes());

    const std::vector<std::string> holders = directory.holders("parport0");
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_NE(holders[0].find(GetParam().described), std::string::npos) << holders[0];
}

INSTANTIATE_TEST_SUITE_P(Devices, Holders,
                         ::testing::Values(HolderCase{"lp0", "the lp printer driver (lp0)"},
                                           HolderCase{"ppdev0", "process 4242 (holder)"},
                                           HolderCase{"plip0", "the plip0 driver"}));

} // namespace
