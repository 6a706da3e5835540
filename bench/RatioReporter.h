// A console reporter that, after the usual table, prints each benchmark's
// time as a ratio to a named baseline run in the same process.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair is (measured, baseline), by benchmark name.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
    std::map<std::string, double> nanoseconds_;
};

// Runs every registered benchmark with the reporter; returns the exit code.
int runWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs);
