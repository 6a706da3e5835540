// A fake port for tests: keeps every call in order and answers reads from a
// script, or else with what was last written (or preset) at that address.
#pragma once

#include "PortBackend.h"

#include <cstdint>
#include <deque>
#include <map>
#include <ostream>
#include <vector>

namespace portio {

struct PortCall {
    enum Kind : char { Read = 'R', Write = 'W' };
    Kind kind;
    std::uint32_t address;
    std::uint8_t value; // the byte read or written

    friend bool operator==(const PortCall&, const PortCall&) = default;
};

std::ostream& operator<<(std::ostream& out, const PortCall& call);

class RecordingPort : public PortBackend {
public:
    std::uint8_t read(std::uint32_t address) override;
    void write(std::uint32_t address, std::uint8_t value) override;

    // The next reads of `address` return these bytes, in order.
    void scriptReads(std::uint32_t address, std::initializer_list<std::uint8_t> values);
    // What `address` holds until it is written; unset addresses read 0xFF.
    void preset(std::uint32_t address, std::uint8_t value);
    std::uint8_t registerValue(std::uint32_t address) const;

    const std::vector<PortCall>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }

private:
    std::vector<PortCall> calls_;
    std::map<std::uint32_t, std::deque<std::uint8_t>> scripted_;
    std::map<std::uint32_t, std::uint8_t> registers_;
};

} // namespace portio
