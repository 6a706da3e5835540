// Pin levels from register bytes.
#include "PinLevels.h"

#include "Db25Pinout.h"

bool PinLevels::high(int number) const
{
    const PinInfo& pin = Db25Pinout::pin(number);
    std::uint8_t byte = 0;
    switch (pin.reg) {
    case PortRegister::None:
        return false;
    case PortRegister::Data:
        byte = registers_.data;
        break;
    case PortRegister::Status:
        byte = registers_.status;
        break;
    case PortRegister::Control:
        byte = registers_.control;
        break;
    }
    const bool bitSet = (byte & pin.mask) != 0;
    return bitSet != pin.inverted;
}

std::optional<std::uint8_t> PinLevels::statusWithInputToggled(int number) const
{
    const PinInfo& pin = Db25Pinout::pin(number);
    if (pin.role != PinRole::Input)
        return std::nullopt;
    return std::uint8_t(registers_.status ^ pin.mask);
}
