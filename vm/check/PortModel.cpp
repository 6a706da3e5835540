// Pins, registers and the writes a session makes, modelled from the port's
// wiring.
#include "PortModel.h"

#include <cstdio>

namespace vm {
namespace {

struct Pin {
    bool control;  // else data
    unsigned bit;
    bool inverted; // the port inverts this control bit on the connector
};

// DB-25 pins 1 (strobe), 2-9 (data 0-7), 14 (auto feed), 16 (initialise),
// 17 (select in), in line order.
constexpr Pin kPins[12] = {
    {true, 0, true},   {false, 0, false}, {false, 1, false}, {false, 2, false},
    {false, 3, false}, {false, 4, false}, {false, 5, false}, {false, 6, false},
    {false, 7, false}, {true, 1, true},   {true, 2, false},  {true, 3, true},
};

std::uint8_t withBit(std::uint8_t value, unsigned bit, bool set)
{
    return set ? std::uint8_t(value | (1u << bit)) : std::uint8_t(value & ~(1u << bit));
}

} // namespace

std::ostream& operator<<(std::ostream& out, const RegisterWrite& write)
{
    char text[24];
    std::snprintf(text, sizeof text, "W 0x%X 0x%02X", unsigned(write.address), unsigned(write.value));
    return out << text;
}

PortModel::PortModel(Way way, std::uint8_t foundData, std::uint8_t foundControl)
    : way_(way)
    , foundData_(foundData)
    , foundControl_(foundControl)
    , data_(foundData)
    , control_(foundControl)
{
}

std::uint8_t PortModel::controlAsRead() const
{
    // The emulated port reads control back with bits 6-7 set; ppdev answers
    // from the kernel's copy of bits 0-3.
    return way_ == Way::Direct ? std::uint8_t(control_ | 0xC0) : std::uint8_t(control_ & 0x0F);
}

std::vector<RegisterWrite> PortModel::sessionWrites(const std::vector<Step>& steps)
{
    // All data pins low; strobe low, auto feed high, initialise high, select
    // in high.
    std::vector<RegisterWrite> writes = {{kData, 0x00}, {kControl, 0x05}};
    data_ = 0x00;
    control_ = 0x05;
    for (const Step& step : steps) {
        const Pin pin = kPins[step.line];
        const bool bitSet = (step.state == 1) != pin.inverted;
        if (pin.control) {
            control_ = withBit(controlAsRead(), pin.bit, bitSet);
            writes.push_back({kControl, control_});
        } else {
            data_ = withBit(data_, pin.bit, bitSet);
            writes.push_back({kData, data_});
        }
    }
    writes.push_back({kData, foundData_});
    writes.push_back({kControl, foundControl_});
    return writes;
}

std::vector<RegisterWrite> PortModel::onTheWire(const std::vector<RegisterWrite>& writes,
                                                std::uint8_t kernelBits) const
{
    std::vector<RegisterWrite> wire = writes;
    if (way_ == Way::Ppdev) {
        for (RegisterWrite& write : wire) {
            if (write.address == kControl)
                write.value = std::uint8_t((write.value & 0x0F) | (kernelBits & 0xF0));
        }
    }
    return wire;
}

int PortModel::pinLevel(std::uint32_t line, std::uint8_t data, std::uint8_t control)
{
    const Pin pin = kPins[line];
    const bool bitSet = ((pin.control ? control : data) >> pin.bit) & 1;
    return bitSet != pin.inverted ? 1 : 0;
}

} // namespace vm
