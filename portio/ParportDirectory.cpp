// Reading the parport driver's /proc tree.
#include "ParportDirectory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace portio {
namespace fs = std::filesystem;
namespace {

std::optional<std::uint32_t> firstNumber(const std::string& path)
{
    std::ifstream in(path);
    unsigned long value = 0;
    if (in >> value)
        return std::uint32_t(value);
    return std::nullopt;
}

std::string firstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> entries(const std::string& directory)
{
    std::vector<std::string> names;
    // Processes come and go while /proc is listed: never throw.
    std::error_code error;
    fs::directory_iterator it(directory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

ParportDirectory::ParportDirectory(std::string procRoot, std::string devRoot, std::string processRoot)
    : procRoot_(std::move(procRoot))
    , devRoot_(std::move(devRoot))
    , processRoot_(std::move(processRoot))
{
}

std::vector<std::string> ParportDirectory::ports() const
{
    std::vector<std::string> names = entries(procRoot_);
    std::erase_if(names, [](const std::string& name) { return !startsWith(name, "parport"); });
    return names;
}

std::optional<std::string> ParportDirectory::portAt(std::uint32_t base) const
{
    for (const std::string& port : ports()) {
        if (firstNumber(procRoot_ + "/" + port + "/base-addr") == base)
            return port;
    }
    return std::nullopt;
}

std::vector<std::uint32_t> ParportDirectory::bases() const
{
    std::vector<std::uint32_t> found;
    for (const std::string& port : ports()) {
        if (auto base = firstNumber(procRoot_ + "/" + port + "/base-addr"))
            found.push_back(*base);
    }
    return found;
}

std::string ParportDirectory::devicePath(const std::string& port) const
{
    return devRoot_ + "/" + port;
}

std::vector<std::string> ParportDirectory::holders(const std::string& port) const
{
    std::vector<std::string> described;
    const std::string devices = procRoot_ + "/" + port + "/devices";
    for (const std::string& name : entries(devices)) {
        if (name == "active")
            continue;
        if (startsWith(name, "lp")) {
            described.push_back("the lp printer driver (" + name + ")");
        } else if (startsWith(name, "ppdev")) {
            std::vector<std::string> users = processesWithOpen(devicePath(port));
            described.push_back(users.empty() ? "a program using " + devicePath(port) + " (" + name + ")"
                                              : "a program using " + devicePath(port) + ": " + users.front());
        } else {
            described.push_back("the " + name + " driver");
        }
    }
    if (described.empty()) {
        const std::string active = firstLine(devices + "/active");
        if (!active.empty() && active != "none")
            described.push_back(active);
    }
    return described;
}

std::vector<std::string> ParportDirectory::processesWithOpen(const std::string& device) const
{
    // Only the processes this user may look into show up; that is enough to
    // name a holder run by the same user.
    std::vector<std::string> found;
    std::error_code error;
    const fs::path target = fs::weakly_canonical(device, error);
    const std::string self = std::to_string(::getpid());
    for (const std::string& pid : entries(processRoot_)) {
        if (pid.empty() || pid == self || !std::all_of(pid.begin(), pid.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
            continue;
        const std::string fds = processRoot_ + "/" + pid + "/fd";
        for (const std::string& fd : entries(fds)) {
            std::error_code linkError;
            if (fs::read_symlink(fds + "/" + fd, linkError) == target) {
                found.push_back("process " + pid + " (" + firstLine(processRoot_ + "/" + pid + "/comm") + ")");
                break;
            }
        }
    }
    return found;
}

} // namespace portio
