// What one boot of the guest left behind, read back for the checks: the
// guest's report per case, QEMU's log of every access to the emulated port,
// and the bytes the port printed to the host.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vm {

struct PortEvent {
    bool write;
    std::uint32_t offset; // from the port's base
    std::uint8_t value;
};

struct CaseResult {
    std::string name;
    std::vector<std::string> output; // the guest program's lines
    std::vector<std::string> trace;  // its TENVARO_PORTIO_TRACE file
    int exitCode = -1;
};

class VmRun {
public:
    explicit VmRun(const std::string& directory);

    // Null when the guest did not run that case.
    const CaseResult* caseResult(int number) const;
    // The port accesses between the case's two markers; none when the
    // markers are missing.
    std::optional<std::vector<PortEvent>> caseEvents(int number) const;
    // A value the guest reported outside any case ("=== holder 102").
    std::string value(const std::string& key) const;
    // Lines the guest printed outside any case.
    const std::vector<std::string>& otherLines() const { return others_; }
    const std::string& printed() const { return printed_; }

private:
    void readResults(const std::string& path);
    void readPortTrace(const std::string& path);

    std::map<int, CaseResult> cases_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> others_;
    std::vector<PortEvent> events_;
    std::string printed_;
};

} // namespace vm
