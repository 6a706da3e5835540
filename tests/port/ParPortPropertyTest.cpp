// SetLine against an independent model of the connector's pin levels, for
// every line, a spread of states and every register byte.
#include "FakePortFixture.h"

#include "ParPort.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::uint32_t kData = 0x378;
constexpr std::uint32_t kControl = 0x37A;

// What the connector shows for a pair of register bytes: pins 2..9 follow the
// data bits; strobe (1), auto feed (14) and select in (17) are the inverted
// control bits 0, 1, 3; initialise (16) is control bit 2 as is.
struct Pins {
    std::array<bool, 12> level; // indexed by line
    std::uint8_t controlHighNibble;

    friend bool operator==(const Pins&, const Pins&) = default;
};

Pins pinsOf(std::uint8_t data, std::uint8_t control)
{
    Pins pins{};
    pins.level[0] = !(control & 0x01);
    for (int bit = 0; bit < 8; ++bit)
        pins.level[1 + bit] = (data >> bit) & 1;
    pins.level[9] = !(control & 0x02);
    pins.level[10] = (control & 0x04) != 0;
    pins.level[11] = !(control & 0x08);
    pins.controlHighNibble = control & 0xF0;
    return pins;
}

class SetLineProperty : public FakePortFixture {};

TEST_F(SetLineProperty, StateOneRaisesStateZeroLowersOtherwiseNothingChanges)
{
    ParPort parPort;
    for (std::uint32_t line = 0; line < 16; ++line) {
        for (std::int32_t state : {0, 1, 2, -1, 256}) {
            for (int found = 0; found < 256; ++found) {
                const auto data = std::uint8_t(found);
                const auto control = std::uint8_t(found ^ 0x5A);
                port->preset(kData, data);
                port->preset(kControl, control);
                port->clearCalls();

                parPort.SetLine(line, state);

                Pins expected = pinsOf(data, control);
                const size_t reads = line < 12 ? 1 : 0;
                const size_t writes = line < 12 && (state == 0 || state == 1) ? 1 : 0;
                if (writes)
                    expected.level[line] = state == 1;
                const Pins actual = pinsOf(port->registerValue(kData), port->registerValue(kControl));
                ASSERT_EQ(actual, expected) << "line " << line << " state " << state << " register "
                                            << found;
                ASSERT_EQ(port->calls().size(), reads + writes)
                    << "line " << line << " state " << state << " register " << found;
            }
        }
    }
}

} // namespace
