// What every benchmark program reports besides the usual table: the minor page faults and
// peak resident memory of each benchmark's work, and a closing table of the figures with
// goals, each met or missed. `make bench` gathers those tables (BENCH_SUMMARY names the
// file each program adds its rows to) and prints them together at the end.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

inline long MinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Peak resident memory of the process so far, in MB.
inline double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

// Made just before a benchmark's timed loop; Report, just after it, adds the loop's minor
// page faults per iteration and the peak resident memory to the benchmark's counters.
class TWorkUsage {
public:
    TWorkUsage() : FStart(MinorFaults()) {}
    void Report(benchmark::State& State) const {
        State.counters["faults"] =
            benchmark::Counter(double(MinorFaults() - FStart), benchmark::Counter::kAvgIterations);
        State.counters["peak_MB"] = PeakRssMb();
    }

private:
    long FStart;
};

// The time and minor page faults of one run of Work outside any benchmark's loop, as a user's
// first command after start-up is run.
struct TOneRun {
    double Ms;
    long Faults;
};

template <class F> TOneRun MeasureOnce(F&& Work) {
    const long faults = MinorFaults();
    const auto start = std::chrono::steady_clock::now();
    Work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return {took.count(), MinorFaults() - faults};
}

// The usual table, keeping of every run its time per iteration in ms and its counters
// (rates included); with repetitions the mean stands for the benchmark.
class TBenchRecorder : public benchmark::ConsoleReporter {
public:
    struct TResult {
        std::string Label;
        double Ms = 0;
        std::map<std::string, double> Counters;
        double Counter(const std::string& Name) const {
            const auto it = Counters.find(Name);
            return it == Counters.end() ? 0 : it->second;
        }
    };

    void ReportRuns(const std::vector<Run>& Runs) override {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& run : Runs) {
            if (run.error_occurred) continue;
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "mean") continue;
            TResult& result = FResults[run.run_name.function_name + "|" + run.report_label];
            result.Label = run.report_label;
            result.Ms = run.GetAdjustedRealTime() * 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            for (const auto& [name, counter] : run.counters)
                result.Counters[name] = counter.value;
        }
    }

    // The run of the benchmark Function with Label; nullptr when it did not run.
    const TResult* Find(const std::string& Function, const std::string& Label = "") const {
        const auto it = FResults.find(Function + "|" + Label);
        return it == FResults.end() ? nullptr : &it->second;
    }

private:
    std::map<std::string, TResult> FResults;
};

// One figure of the closing table: at most or at least Goal, or no goal at all.
struct TGoalRow {
    enum TKind { NoGoal, AtMost, AtLeast };
    std::string Figure;
    double Value;
    std::string Unit;
    TKind Kind = NoGoal;
    double Goal = 0;

    bool Met() const { return Kind == NoGoal || (Kind == AtMost ? Value <= Goal : Value >= Goal); }
};

// Prints the rows, adds them to the file BENCH_SUMMARY names, and says whether every goal
// among them was met.
inline bool PrintGoalRows(const std::vector<TGoalRow>& Rows) {
    std::FILE* summary = nullptr;
    if (const char* name = std::getenv("BENCH_SUMMARY")) summary = std::fopen(name, "a");
    bool met = true;
    std::printf("\n");
    for (const TGoalRow& row : Rows) {
        char value[32], goal[32] = "-";
        // Whole numbers (page faults) as they are, others to three or four digits.
        const int decimals = row.Value == std::floor(row.Value) ? 0 : row.Value < 10 ? 2 : 1;
        std::snprintf(value, sizeof value, "%.*f %s", decimals, row.Value, row.Unit.c_str());
        if (row.Kind != TGoalRow::NoGoal)
            std::snprintf(goal, sizeof goal, "%s %g %s", row.Kind == TGoalRow::AtMost ? "<=" : ">=", row.Goal,
                          row.Unit.c_str());
        const char* verdict = row.Kind == TGoalRow::NoGoal ? "" : row.Met() ? "met" : "MISSED";
        for (std::FILE* out : {stdout, summary})
            if (out != nullptr)
                std::fprintf(out, "%-46s %16s %16s  %s\n", row.Figure.c_str(), value, goal, verdict);
        met = met && row.Met();
    }
    if (summary != nullptr) std::fclose(summary);
    return met;
}

// A benchmark program's main: runs what the command line selects, then prints the rows
// Rows makes from the results.
template <class RowsOf> int RunWithGoals(int argc, char** argv, RowsOf&& Rows) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TBenchRecorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();
    return PrintGoalRows(Rows(recorder)) ? 0 : 1;
}
