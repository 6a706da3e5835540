// What the guest does to the port through the controller, shared with the
// host-side checks so both sides agree on the steps without sharing any of
// the controller's logic.
#pragma once

#include <cstdint>
#include <vector>

namespace vm {

struct Step {
    std::uint32_t line;
    std::int32_t state;
};

// Every line high then low, in line order; then `pulse` put on the data lines
// and clocked out the way a printer expects it: initialise and select in
// inactive, strobe idle, strobe active (the byte is taken here), strobe idle.
inline std::vector<Step> scenarioSteps(std::uint8_t pulse)
{
    std::vector<Step> steps;
    for (std::uint32_t line = 0; line < 12; ++line) {
        steps.push_back({line, 1});
        steps.push_back({line, 0});
    }
    for (std::uint32_t bit = 0; bit < 8; ++bit)
        steps.push_back({1 + bit, (pulse >> bit) & 1});
    steps.push_back({10, 1}); // initialise pin high: not resetting the printer
    steps.push_back({11, 0}); // select in pin low: printer selected
    steps.push_back({0, 1});  // strobe pin high: idle
    steps.push_back({0, 0});  // strobe pin low: take the byte
    steps.push_back({0, 1});
    return steps;
}

// Written to an otherwise unused register of the emulated port (base + 7) so
// that the host can cut its trace of the port into the guest's cases.
constexpr std::uint32_t kMarkerAddress = 0x37F;
constexpr std::uint8_t kCaseStart = 0x10; // + case number, before a case
constexpr std::uint8_t kCaseEnd = 0x30;   // + case number, after it
constexpr std::uint8_t kProgramEnded = 0x50; // + case number, between the program and what follows it
constexpr std::uint8_t kCasesDone = 0x7F;

} // namespace vm
