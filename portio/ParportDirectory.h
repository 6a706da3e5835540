// What the kernel's parport driver says about the machine's parallel ports:
// which /dev/parportN sits at a base address, and who else is registered on
// a port. Read from /proc/sys/dev/parport, whose parportN/base-addr holds the
// base first, and whose parportN/devices/ has one entry per registered
// driver or ppdev user (plus "active", naming the one holding it now).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace portio {

class ParportDirectory {
public:
    explicit ParportDirectory(std::string procRoot = "/proc/sys/dev/parport", std::string devRoot = "/dev",
                              std::string processRoot = "/proc");

    // "parport0" for the port whose base is `base`, if the kernel lists one.
    std::optional<std::string> portAt(std::uint32_t base) const;
    // Bases of every port the kernel lists, in name order.
    std::vector<std::uint32_t> bases() const;
    // "/dev/parport0" for "parport0".
    std::string devicePath(const std::string& port) const;
    // Who is registered on the port, in words: the lp printer driver, a
    // program with the device open (with its process id and name when this
    // user may see them), or any other driver by its name.
    std::vector<std::string> holders(const std::string& port) const;

private:
    std::vector<std::string> ports() const;
    std::vector<std::string> processesWithOpen(const std::string& device) const;

    std::string procRoot_;
    std::string devRoot_;
    std::string processRoot_;
};

} // namespace portio
