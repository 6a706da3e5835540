// Line table, mask application, and the record/restore of the port.
#include "ParPort.h"

#include "PortIO.h"

#include <algorithm>
#include <iterator>

namespace {

// How a line's mask is applied. The port inverts control bits 0, 1 and 3
// between register and connector, so those lines apply their masks the other
// way round and every line ends up with "1 = pin high".
enum class Kind { Data, PlainControl, InvertedControl };

struct Line {
    Kind kind;
    std::uint8_t offMask;
    std::uint8_t onMask;
};

//  line  signal      pin  register bit
//   0    strobe        1  control  0  (inverted)
//   1-8  data 0..7   2-9  data   0-7
//   9    auto feed    14  control  1  (inverted)
//  10    initialise   16  control  2
//  11    select in    17  control  3  (inverted)
constexpr Line kLines[ParPort::kLineCount] = {
    {Kind::InvertedControl, 0x01, 0xFE},
    {Kind::Data, 0xFE, 0x01},
    {Kind::Data, 0xFD, 0x02},
    {Kind::Data, 0xFB, 0x04},
    {Kind::Data, 0xF7, 0x08},
    {Kind::Data, 0xEF, 0x10},
    {Kind::Data, 0xDF, 0x20},
    {Kind::Data, 0xBF, 0x40},
    {Kind::Data, 0x7F, 0x80},
    {Kind::InvertedControl, 0x02, 0xFD},
    {Kind::PlainControl, 0xFB, 0x04},
    {Kind::InvertedControl, 0x08, 0xF7},
};

// Status inputs at pins 10 (ack), 11 (busy), 12 (paper end), 13 (select) and
// 15 (error). The fifth entry is bit 3, the one standard status input the
// first four leave out; bit 2 is no input pin at all, so a mask of 0x04
// would report nothing a user could wire up.
constexpr std::uint8_t kStatusMasks[ParPort::kStatusInputs] = {0x40, 0x80, 0x20, 0x10, 0x08};

constexpr std::uint32_t kBases[3] = {0x378, 0x278, 0x3BC};

} // namespace

ParPort::ParPort()
    : portIndex(0)
    , lastRead(0) // nothing read yet; zero rather than indeterminate
{
    std::copy(std::begin(kBases), std::end(kBases), baseAddress);
    for (std::uint32_t line = 0; line < kLineCount; ++line) {
        offMask[line] = kLines[line].offMask;
        onMask[line] = kLines[line].onMask;
    }
    std::copy(std::begin(kStatusMasks), std::end(kStatusMasks), statusMask);

    const std::uint32_t base = baseAddress[portIndex];
    savedData = DlPortReadPortUchar(base + kDataOffset);
    savedControl = DlPortReadPortUchar(base + kControlOffset);
    // All data pins low; strobe low, auto feed high, initialise high,
    // select in high; control bits 4 to 7 cleared.
    DlPortWritePortUchar(base + kDataOffset, 0x00);
    DlPortWritePortUchar(base + kControlOffset, 0x05);
}

ParPort::~ParPort()
{
    // Always the port the saved values were read from.
    portIndex = 0;
    const std::uint32_t base = baseAddress[portIndex];
    DlPortWritePortUchar(base + kDataOffset, savedData);
    DlPortWritePortUchar(base + kControlOffset, savedControl);
}

void ParPort::SetLine(std::uint32_t line, std::int32_t state)
{
    if (line >= kLineCount)
        return;
    const Kind kind = kLines[line].kind;
    const std::uint32_t address =
        baseAddress[portIndex] + (kind == Kind::Data ? kDataOffset : kControlOffset);

    lastRead = InPort(address);
    std::uint8_t value;
    const bool inverted = kind == Kind::InvertedControl;
    if (state == 0)
        value = inverted ? (lastRead | offMask[line]) : (lastRead & offMask[line]);
    else if (state == 1)
        value = inverted ? (lastRead & onMask[line]) : (lastRead | onMask[line]);
    else
        return;
    OutPort(address, value);
}

std::uint8_t ParPort::ReadStatus(std::uint32_t input)
{
    lastRead = InPort(baseAddress[portIndex] + kStatusOffset);
    if (input < kStatusInputs)
        return (lastRead & statusMask[input]) != 0 ? 1 : 0;
    return lastRead;
}

std::uint8_t ParPort::InPort(std::uint32_t address)
{
    return DlPortReadPortUchar(address);
}

void ParPort::OutPort(std::uint32_t address, std::uint8_t value)
{
    DlPortWritePortUchar(address, value);
}
