// The pin table of a PC parallel port connector.
//
// Outputs: strobe, auto feed and select in are inverted by the port between
// the control bit and the pin, initialise is not. Inputs: busy is the one
// status line the port inverts. Pins 18-25 are ground.
#include "Db25Pinout.h"

#include <stdexcept>
#include <string>

namespace {

using enum PinRole;
using enum PortRegister;

constexpr std::array<PinInfo, Db25Pinout::kPinCount> kPins{{
    {1, Output, "STB", Control, 0x01, true},
    {2, Output, "D0", Data, 0x01, false},
    {3, Output, "D1", Data, 0x02, false},
    {4, Output, "D2", Data, 0x04, false},
    {5, Output, "D3", Data, 0x08, false},
    {6, Output, "D4", Data, 0x10, false},
    {7, Output, "D5", Data, 0x20, false},
    {8, Output, "D6", Data, 0x40, false},
    {9, Output, "D7", Data, 0x80, false},
    {10, Input, "ACK", Status, 0x40, false},
    {11, Input, "BUSY", Status, 0x80, true},
    {12, Input, "PE", Status, 0x20, false},
    {13, Input, "SEL", Status, 0x10, false},
    {14, Output, "AFD", Control, 0x02, true},
    {15, Input, "ERR", Status, 0x08, false},
    {16, Output, "INIT", Control, 0x04, false},
    {17, Output, "SLIN", Control, 0x08, true},
    {18, Ground, "GND", None, 0, false},
    {19, Ground, "GND", None, 0, false},
    {20, Ground, "GND", None, 0, false},
    {21, Ground, "GND", None, 0, false},
    {22, Ground, "GND", None, 0, false},
    {23, Ground, "GND", None, 0, false},
    {24, Ground, "GND", None, 0, false},
    {25, Ground, "GND", None, 0, false},
}};

} // namespace

const PinInfo& Db25Pinout::pin(int number)
{
    if (number < 1 || number > kPinCount)
        throw std::out_of_range("DB-25 has no pin " + std::to_string(number));
    return kPins[std::size_t(number - 1)];
}

const std::array<PinInfo, Db25Pinout::kPinCount>& Db25Pinout::all()
{
    return kPins;
}
