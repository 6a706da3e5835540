// What each of the 25 pins of a PC parallel port's DB-25 connector carries,
// and at which register bit. The pin monitor's picture and its click handling
// are both built from this one table.
#pragma once

#include "PortRegisters.h"

#include <array>
#include <cstdint>
#include <string_view>

enum class PinRole { Output, Input, Ground };
enum class PortRegister { None, Data, Status, Control };

struct PinInfo {
    int number;             // 1..25
    PinRole role;
    std::string_view name;  // short signal name drawn beside the pin
    PortRegister reg;
    std::uint8_t mask;      // the pin's bit in `reg`; 0 for grounds
    bool inverted;          // the hardware inverts between pin and bit
};

class Db25Pinout {
public:
    static constexpr int kPinCount = 25;
    static constexpr int kTopRow = 13; // pins 1..13 sit in the wider row

    // Pin `number` (1..25); any other number throws std::out_of_range.
    static const PinInfo& pin(int number);
    static const std::array<PinInfo, kPinCount>& all();
};
