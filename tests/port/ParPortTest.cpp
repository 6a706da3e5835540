// The controller's exact port accesses, against a recording fake.
#include "FakePortFixture.h"

#include "ParPort.h"

#include <climits>
#include <optional>
#include <vector>

namespace {

constexpr std::uint32_t kData = 0x378;
constexpr std::uint32_t kStatus = 0x379;
constexpr std::uint32_t kControl = 0x37A;

using Calls = std::vector<PortCall>;

class ParPortTest : public FakePortFixture {};

TEST_F(ParPortTest, ConstructionRecordsThenDrivesDataLowAndControlTo05)
{
    port->scriptReads(kData, {0xA5});
    port->scriptReads(kControl, {0xCC});
    ParPort parPort;
    EXPECT_EQ(port->calls(), (Calls{R(kData, 0xA5), R(kControl, 0xCC), W(kData, 0x00), W(kControl, 0x05)}));
    EXPECT_EQ(parPort.SavedData(), 0xA5);
    EXPECT_EQ(parPort.SavedControl(), 0xCC);
    EXPECT_EQ(parPort.Base(), kData);
}

TEST_F(ParPortTest, DestructionWritesBackWhatConstructionFoundDataFirst)
{
    port->scriptReads(kData, {0x3C});
    port->scriptReads(kControl, {0xE4});
    {
        ParPort parPort;
        parPort.SetLine(4, 1);
        parPort.SetLine(11, 1);
        port->clearCalls();
    }
    EXPECT_EQ(port->calls(), (Calls{W(kData, 0x3C), W(kControl, 0xE4)}));
}

struct SetLineCase {
    std::uint32_t line;
    std::int32_t state;
    std::uint8_t found; // what the line's register reads
    std::uint32_t address;
    std::optional<std::uint8_t> written;
};

std::ostream& operator<<(std::ostream& out, const SetLineCase& c)
{
    out << "SetLine(" << c.line << ", " << c.state << ") on 0x" << std::hex << int(c.found);
    if (c.written)
        out << " writes 0x" << int(*c.written);
    return out << std::dec;
}

class SetLineTest : public FakePortFixture, public ::testing::WithParamInterface<SetLineCase> {};

TEST_P(SetLineTest, ReadsTheLinesRegisterOnceAndWritesTheMaskedByte)
{
    const SetLineCase& c = GetParam();
    ParPort parPort;
    port->clearCalls();
    port->scriptReads(c.address, {c.found});

    parPort.SetLine(c.line, c.state);

    Calls expected{R(c.address, c.found)};
    if (c.written)
        expected.push_back(W(c.address, *c.written));
    EXPECT_EQ(port->calls(), expected);
    EXPECT_EQ(parPort.LastRead(), c.found) << "lastRead keeps the byte read, not the one written";
}

// Every line in both states from both all-zero and all-one registers, so that
// each mask shows both which bit it moves and which way; then the examples of
// the design.
const SetLineCase kSetLineCases[] = {
    // line 0, strobe (pin 1): control bit 0, inverted
    {0, 0, 0x00, kControl, 0x01}, {0, 0, 0xFF, kControl, 0xFF},
    {0, 1, 0x00, kControl, 0x00}, {0, 1, 0xFF, kControl, 0xFE},
    // lines 1..8, data bits 0..7 (pins 2..9)
    {1, 0, 0xFF, kData, 0xFE}, {1, 1, 0x00, kData, 0x01},
    {2, 0, 0xFF, kData, 0xFD}, {2, 1, 0x00, kData, 0x02},
    {3, 0, 0xFF, kData, 0xFB}, {3, 1, 0x00, kData, 0x04},
    {4, 0, 0xFF, kData, 0xF7}, {4, 1, 0x00, kData, 0x08},
    {5, 0, 0xFF, kData, 0xEF}, {5, 1, 0x00, kData, 0x10},
    {6, 0, 0xFF, kData, 0xDF}, {6, 1, 0x00, kData, 0x20},
    {7, 0, 0xFF, kData, 0xBF}, {7, 1, 0x00, kData, 0x40},
    {8, 0, 0xFF, kData, 0x7F}, {8, 1, 0x00, kData, 0x80},
    {8, 0, 0x00, kData, 0x00}, {8, 1, 0xFF, kData, 0xFF},
    // line 9, auto feed (pin 14): control bit 1, inverted
    {9, 0, 0x00, kControl, 0x02}, {9, 1, 0xFF, kControl, 0xFD},
    // line 10, initialise (pin 16): control bit 2, plain
    {10, 0, 0xFF, kControl, 0xFB}, {10, 1, 0x00, kControl, 0x04},
    // line 11, select in (pin 17): control bit 3, inverted
    {11, 0, 0x00, kControl, 0x08}, {11, 1, 0xFF, kControl, 0xF7},
    // the design's worked examples
    {8, 1, 0x00, kData, 0x80}, {1, 0, 0x81, kData, 0x80},
    {0, 1, 0x05, kControl, 0x04}, {0, 0, 0x05, kControl, 0x05}, {9, 0, 0x05, kControl, 0x07},
    {10, 0, 0x05, kControl, 0x01}, {11, 1, 0x05, kControl, 0x05}, {11, 0, 0x05, kControl, 0x0D},
    // control bits 4..7 go back exactly as read
    {10, 1, 0xE0, kControl, 0xE4}, {0, 0, 0xC0, kControl, 0xC1},
    // states other than 0 and 1 read and write nothing
    {3, 2, 0x5A, kData, std::nullopt}, {3, 256, 0x5A, kData, std::nullopt},
    {3, -1, 0x5A, kData, std::nullopt}, {0, INT_MIN, 0x0B, kControl, std::nullopt},
    {11, INT_MAX, 0x0B, kControl, std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(LineTable, SetLineTest, ::testing::ValuesIn(kSetLineCases));

class NoSuchLineTest : public FakePortFixture, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(NoSuchLineTest, MakesNoPortAccessAtAll)
{
    ParPort parPort;
    port->clearCalls();
    for (std::int32_t state : {0, 1, 2})
        parPort.SetLine(GetParam(), state);
    EXPECT_TRUE(port->calls().empty());
}

INSTANTIATE_TEST_SUITE_P(AboveEleven, NoSuchLineTest,
                         ::testing::Values(12u, 13u, 255u, 0x80000000u, static_cast<std::uint32_t>(-1)));

TEST_F(ParPortTest, AllLinesLowOnAReadBackPortEndsAtData00Control0B)
{
    port->preset(kData, 0x9C);
    port->preset(kControl, 0x04);
    ParPort parPort;
    port->clearCalls();
    for (std::uint32_t line = 0; line < 12; ++line)
        parPort.SetLine(line, 0);

    Calls expected{R(kControl, 0x05), W(kControl, 0x05)};
    for (int bit = 0; bit < 8; ++bit)
        expected.insert(expected.end(), {R(kData, 0x00), W(kData, 0x00)});
    expected.insert(expected.end(), {R(kControl, 0x05), W(kControl, 0x07), R(kControl, 0x07),
                                     W(kControl, 0x03), R(kControl, 0x03), W(kControl, 0x0B)});
    EXPECT_EQ(port->calls(), expected);
    EXPECT_EQ(port->registerValue(kData), 0x00);
    EXPECT_EQ(port->registerValue(kControl), 0x0B);
}

struct StatusCase {
    std::uint32_t input;
    std::uint8_t status;
    std::uint8_t expected;
};

std::ostream& operator<<(std::ostream& out, const StatusCase& c)
{
    return out << "ReadStatus(" << c.input << ") on 0x" << std::hex << int(c.status) << std::dec;
}

class ReadStatusTest : public FakePortFixture, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(ReadStatusTest, ReadsTheStatusRegisterOnce)
{
    const StatusCase& c = GetParam();
    ParPort parPort;
    port->clearCalls();
    port->scriptReads(kStatus, {c.status});
    EXPECT_EQ(parPort.ReadStatus(c.input), c.expected);
    EXPECT_EQ(port->calls(), (Calls{R(kStatus, c.status)}));
    EXPECT_EQ(parPort.LastRead(), c.status);
}

const StatusCase kStatusCases[] = {
    // pin 10 ack (bit 6), pin 11 busy (bit 7), pin 12 paper end (bit 5),
    // pin 13 select (bit 4), pin 15 error (bit 3); each alone, then each absent
    {0, 0x40, 1}, {1, 0x80, 1}, {2, 0x20, 1}, {3, 0x10, 1}, {4, 0x08, 1},
    {0, 0xBF, 0}, {1, 0x7F, 0}, {2, 0xDF, 0}, {3, 0xEF, 0}, {4, 0xF7, 0},
    {4, 0x04, 0}, // bit 2 is no input
    // any other input yields the whole byte
    {5, 0x5F, 0x5F}, {6, 0x00, 0x00}, {0xFFFFFFFF, 0xD8, 0xD8},
};
INSTANTIATE_TEST_SUITE_P(Inputs, ReadStatusTest, ::testing::ValuesIn(kStatusCases));

TEST_F(ParPortTest, InPortAndOutPortAreOneCallEachAtTheGivenAddress)
{
    ParPort parPort;
    port->clearCalls();
    port->scriptReads(0x3BE, {0x42});
    EXPECT_EQ(parPort.InPort(0x3BE), 0x42);
    parPort.OutPort(0x27A, 0x99);
    EXPECT_EQ(port->calls(), (Calls{R(0x3BE, 0x42), W(0x27A, 0x99)}));
}

} // namespace
