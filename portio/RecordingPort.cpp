// The recording fake's bookkeeping.
#include "RecordingPort.h"

#include <cstdio>

namespace portio {

std::ostream& operator<<(std::ostream& out, const PortCall& call)
{
    char text[32];
    std::snprintf(text, sizeof text, "%c 0x%X 0x%02X", char(call.kind), unsigned(call.address),
                  unsigned(call.value));
    return out << text;
}

std::uint8_t RecordingPort::read(std::uint32_t address)
{
    std::uint8_t value = registerValue(address);
    if (auto it = scripted_.find(address); it != scripted_.end() && !it->second.empty()) {
        value = it->second.front();
        it->second.pop_front();
    }
    calls_.push_back({PortCall::Read, address, value});
    return value;
}

void RecordingPort::write(std::uint32_t address, std::uint8_t value)
{
    registers_[address] = value;
    calls_.push_back({PortCall::Write, address, value});
}

void RecordingPort::scriptReads(std::uint32_t address, std::initializer_list<std::uint8_t> values)
{
    auto& queue = scripted_[address];
    queue.insert(queue.end(), values.begin(), values.end());
}

void RecordingPort::preset(std::uint32_t address, std::uint8_t value)
{
    registers_[address] = value;
}

std::uint8_t RecordingPort::registerValue(std::uint32_t address) const
{
    auto it = registers_.find(address);
    return it == registers_.end() ? 0xFF : it->second;
}

} // namespace portio
