// Ratios of benchmark times, measured in one run so that they compare like
// with like on whatever machine runs them.
#include "RatioReporter.h"

#include <cstdio>

RatioReporter::RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
    : pairs_(std::move(pairs))
{
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Iteration && !run.error_occurred)
            nanoseconds_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\nratios (CPU time, measured / baseline):\n");
    for (const auto& [measured, baseline] : pairs_) {
        auto m = nanoseconds_.find(measured);
        auto b = nanoseconds_.find(baseline);
        if (m == nanoseconds_.end() || b == nanoseconds_.end() || b->second <= 0)
            continue;
        std::printf("  %-40s / %-40s = %.3f\n", measured.c_str(), baseline.c_str(),
                    m->second / b->second);
    }
    std::fflush(stdout);
}

int runWithRatios(int argc, char** argv, std::vector<std::pair<std::string, std::string>> pairs)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
