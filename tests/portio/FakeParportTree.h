// A stand-in for the kernel's /proc/sys/dev/parport, /dev and /proc, laid
// out in a scratch directory, for the parts that only read those trees.
#pragma once

#include "BackendSelector.h"
#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <string>

class FakeParportTree {
public:
    FakeParportTree() { std::filesystem::create_directories(dir_.file("proc/sys/dev/parport/default")); }

    // parportN with base-addr "base\tbase+0x400", as the kernel writes it.
    void addPort(const std::string& name, unsigned base)
    {
        const std::string port = parportProc() + "/" + name;
        std::filesystem::create_directories(port + "/devices");
        std::ofstream(port + "/base-addr") << base << "\t" << base + 0x400 << "\n";
        std::ofstream(port + "/devices/active") << "none\n";
    }
    void registerDevice(const std::string& port, const std::string& device)
    {
        std::filesystem::create_directories(parportProc() + "/" + port + "/devices/" + device);
    }
    // A process with `target` open on descriptor 3.
    void addProcess(int pid, const std::string& comm, const std::string& target)
    {
        const std::string process = dir_.file("proc/" + std::to_string(pid));
        std::filesystem::create_directories(process + "/fd");
        std::ofstream(process + "/comm") << comm << "\n";
        std::filesystem::create_symlink(target, process + "/fd/3");
    }

    std::string parportProc() const { return dir_.file("proc/sys/dev/parport"); }
    std::string devices() const { return dir_.file("dev"); }
    std::string processes() const { return dir_.file("proc"); }
    std::string file(const std::string& name) const { return dir_.file(name); }

    portio::SystemPaths paths() const { return {parportProc(), devices(), processes(), dir_.file("")}; }

private:
    TempDir dir_;
};
