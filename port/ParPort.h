// The parallel port line controller: the only code that touches the port.
//
// It knows the register layout of a standard PC parallel port, maps the twelve
// output lines of the DB-25 connector to register bits (hiding that the
// hardware inverts three of the four control lines), records the data and
// control registers when it is created and writes them back when destroyed.
//
// There is no shadow copy of the registers: SetLine reads the register and
// writes it back with one bit changed, so the port itself is the only record
// of the other lines' levels.
#pragma once

#include <cstdint>

class ParPort {
public:
    ParPort();
    ~ParPort();
    ParPort(const ParPort&) = delete;
    ParPort& operator=(const ParPort&) = delete;

    // line 0..11 (see the line table in ParPort.cpp); state 1 puts the pin
    // high, 0 low. A line above 11 is ignored without touching the port; any
    // other state reads the register and writes nothing.
    void SetLine(std::uint32_t line, std::int32_t state);
    // input 0..4: 1 if that status input's bit is set, else 0; any other
    // input: the whole status byte. No inversion is undone.
    std::uint8_t ReadStatus(std::uint32_t input);

    std::uint8_t InPort(std::uint32_t address);
    void OutPort(std::uint32_t address, std::uint8_t value);

    // Read-only views for callers that report on the port.
    std::uint8_t LastRead() const { return lastRead; }
    std::uint8_t SavedData() const { return savedData; }
    std::uint8_t SavedControl() const { return savedControl; }
    std::uint32_t Base() const { return baseAddress[portIndex]; }

    static constexpr std::uint32_t kLineCount = 12;
    static constexpr std::uint32_t kStatusInputs = 5;
    static constexpr std::uint32_t kDataOffset = 0;
    static constexpr std::uint32_t kStatusOffset = 1;
    static constexpr std::uint32_t kControlOffset = 2;

private:
    std::int32_t portIndex;
    std::uint8_t lastRead;
    std::uint8_t savedData;
    std::uint8_t savedControl;
    std::uint32_t baseAddress[3];
    std::uint8_t offMask[kLineCount];
    std::uint8_t onMask[kLineCount];
    std::uint8_t statusMask[kStatusInputs];
};
