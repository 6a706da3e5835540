// Parsing the guest's report and QEMU's "parallel_ioport_*" trace.
#include "VmRun.h"

#include "Scenario.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vm {
namespace {

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "parallel_ioport_write write [SW] addr 0x02 val 0x0c"
std::optional<PortEvent> parseEvent(const std::string& line)
{
    const auto at = line.find("parallel_ioport_");
    const auto addr = line.find("addr 0x");
    if (at == std::string::npos || addr == std::string::npos)
        return std::nullopt;
    unsigned offset = 0;
    unsigned value = 0;
    if (std::sscanf(line.c_str() + addr, "addr 0x%x val 0x%x", &offset, &value) != 2)
        return std::nullopt;
    const bool write = line.compare(at, 21, "parallel_ioport_write") == 0;
    return PortEvent{write, offset, std::uint8_t(value)};
}

bool isMarker(const PortEvent& event, std::uint8_t value)
{
    return event.write && event.offset == kMarkerAddress - 0x378 && event.value == value;
}

} // namespace

VmRun::VmRun(const std::string& directory)
{
    readResults(directory + "/results.txt");
    readPortTrace(directory + "/port-trace.log");
    std::ifstream printed(directory + "/lpt.out", std::ios::binary);
    printed_.assign(std::istreambuf_iterator<char>(printed), std::istreambuf_iterator<char>());
}

void VmRun::readResults(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    CaseResult* current = nullptr;
    std::vector<std::string>* lines = &others_;
    while (std::getline(in, line)) {
        if (!startsWith(line, "=== ")) {
            lines->push_back(line);
            continue;
        }
        std::istringstream words(line.substr(4));
        std::string word;
        int number = 0;
        words >> word;
        if (word == "case" && words >> number) {
            current = &cases_[number];
            words >> current->name;
            lines = &current->output;
        } else if (word == "trace" && words >> number) {
            lines = &cases_[number].trace;
        } else if (word == "end") {
            std::string next;
            words >> next;
            if (next != "trace" && current)
                current->exitCode = std::stoi(line.substr(line.find_last_of(' ') + 1));
            current = nullptr;
            lines = &others_;
        } else {
            std::string rest;
            std::getline(words >> std::ws, rest);
            values_[word] = rest;
            lines = &others_;
        }
    }
}

void VmRun::readPortTrace(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (auto event = parseEvent(line))
            events_.push_back(*event);
    }
}

const CaseResult* VmRun::caseResult(int number) const
{
    auto it = cases_.find(number);
    return it == cases_.end() ? nullptr : &it->second;
}

std::optional<std::vector<PortEvent>> VmRun::caseEvents(int number) const
{
    const auto start = std::uint8_t(kCaseStart + number);
    const auto end = std::uint8_t(kCaseEnd + number);
    auto first = events_.begin();
    while (first != events_.end() && !isMarker(*first, start))
        ++first;
    if (first == events_.end())
        return std::nullopt;
    auto last = first + 1;
    while (last != events_.end() && !isMarker(*last, end))
        ++last;
    if (last == events_.end())
        return std::nullopt;
    return std::vector<PortEvent>(first + 1, last);
}

std::string VmRun::value(const std::string& key) const
{
    auto it = values_.find(key);
    return it == values_.end() ? "" : it->second;
}

} // namespace vm
