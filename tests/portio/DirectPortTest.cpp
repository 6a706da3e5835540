// Direct access where the kernel refuses it (as here, without a port and in
// a sandbox): the fault is reported once, with its fix, and the calls go
// nowhere instead of crashing.
#include "DirectPort.h"
#include "PortAccess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RefusedDirectPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string reason = portio::DirectPort::unavailableReason(0x378);
        if (reason.find("ioperm") == std::string::npos)
            GTEST_SKIP() << "this machine grants ioperm; not touching its ports";
        portio::setFaultHandler([this](const std::string& message) { faults_.push_back(message); });
    }
    void TearDown() override { portio::setFaultHandler(nullptr); }

    std::vector<std::string> faults_;
};

TEST_F(RefusedDirectPort, ReportsTheFaultOnceWithItsFixAndReadsAnEmptyBus)
{
    portio::DirectPort port(0x378);
    EXPECT_TRUE(faults_.empty()) << "constructing touched something";
    EXPECT_EQ(port.read(0x378), 0xFF);
    port.write(0x37A, 0x05);
    EXPECT_EQ(port.read(0x37A), 0xFF);
    ASSERT_EQ(faults_.size(), 1u);
    EXPECT_NE(faults_[0].find("0x378"), std::string::npos) << faults_[0];
    EXPECT_NE(faults_[0].find("ppdev"), std::string::npos) << "the fix should point to the ppdev way: " << faults_[0];
}

TEST_F(RefusedDirectPort, AddressesOutsideThePortAreNeverAttempted)
{
    portio::DirectPort port(0x378);
    for (std::uint32_t address : {0x377u, 0x37Bu, 0x278u, 0x3BCu}) {
        EXPECT_EQ(port.read(address), 0xFF);
        port.write(address, 0x00);
    }
    EXPECT_TRUE(faults_.empty());
}

} // namespace
