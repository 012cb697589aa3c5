// What the benchmarks of opening commands share: small files that declare large pictures,
// opened through the click a user makes, each measured alone by the peak resident memory it
// reaches above the program at rest and by its time. The goal of each: at most 1.5 times the
// pictures the program keeps afterwards, plus 16 MB (a file refused keeps nothing).
#pragma once

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "tests/common/PrivateHome.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/ScriptedAnswerer.h"

using TBytes = std::vector<std::uint8_t>;

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in MB.
inline double StatusMb(const char* Field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Field, 0) == 0) return std::stod(line.substr(std::strlen(Field))) / 1024;
    return 0;
}

// One command measured from the program at rest: the heap gives back what earlier work freed
// and the kernel's peak starts again from the memory in use, so the peak above idle is the
// command's own.
class TCommandCost {
public:
    TCommandCost() {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        FIdleMb = StatusMb("VmRSS:");
        FStart = std::chrono::steady_clock::now();
    }
    void Stop() {
        FSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count();
        FPeakMb = StatusMb("VmHWM:") - FIdleMb;
    }
    double PeakMb() const { return FPeakMb; }
    double Seconds() const { return FSeconds; }

private:
    double FIdleMb = 0;
    double FPeakMb = 0;
    double FSeconds = 0;
    std::chrono::steady_clock::time_point FStart;
};

// The pictures a program holds, each block of pixels counted once however many bitmaps
// share it.
class TKeptPictures {
public:
    void Add(const void* Pixels, std::int64_t Bytes) {
        if (Pixels != nullptr && FSeen.insert(Pixels).second) FBytes += Bytes;
    }
    // The pixels of Graphic when it is a device bitmap.
    void AddBitmap(TGraphic* Graphic) {
        if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic))
            Add(bitmap->Image().constBits(), bitmap->Image().sizeInBytes());
    }
    double Mb() const { return double(FBytes) / (1024 * 1024); }

private:
    std::set<const void*> FSeen;
    std::int64_t FBytes = 0;
};

// One input: its file, the program's windows, the click that opens it, and what the program
// keeps afterwards.
struct TLoadCase {
    const char* Name;
    const char* FileName;
    std::function<TBytes()> Make;
    // Creates the program's windows and shows its main window.
    std::function<void()> Start;
    // Queues the dialog's answer for Path and clicks.
    std::function<void(TScriptedAnswerer& Answers, const std::string& Path)> Open;
    std::function<double()> KeptMb;
};

// The file is written and the windows are made, shown and settled before the command; they
// are freed after it. Error boxes shown by the command say it refused the file.
inline void RunLoadCase(benchmark::State& State, const TLoadCase& Case) {
    QTemporaryDir folder;
    const std::string path = folder.filePath(Case.FileName).toStdString();
    {
        const TBytes bytes = Case.Make();
        QFile file(QString::fromStdString(path));
        file.open(QIODevice::WriteOnly);
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }
    for (auto _ : State) {
        TScriptedAnswerer answers;
        Case.Start();
        Application->ProcessMessages();
        TCommandCost cost;
        Case.Open(answers, path);
        Application->ProcessMessages();
        cost.Stop();
        State.SetIterationTime(cost.Seconds());
        State.counters["peak_MB"] = cost.PeakMb();
        State.counters["kept_MB"] = Case.KeptMb();
        State.counters["errors"] = double(answers.Messages().size());
        Application->DestroyForms();
    }
    State.SetLabel(Case.Name);
}

inline void RegisterLoadCases(const std::vector<TLoadCase>& Cases) {
    for (const TLoadCase& c : Cases)
        benchmark::RegisterBenchmark(c.Name, [&c](benchmark::State& State) { RunLoadCase(State, c); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
}

// Per input its peak against the goal, what it keeps and its time.
inline std::vector<TGoalRow> LoadRows(const TBenchRecorder& Results, const std::vector<TLoadCase>& Cases) {
    std::vector<TGoalRow> rows;
    for (const TLoadCase& c : Cases) {
        const auto* run = Results.Find(c.Name, c.Name);
        if (run == nullptr) continue;
        const double kept = run->Counter("kept_MB");
        rows.push_back({std::string(c.Name) + (run->Counter("errors") > 0 ? ", refused" : ", opened"),
                        run->Counter("peak_MB"), "MB", TGoalRow::AtMost, 1.5 * kept + 16});
        rows.push_back({"  pictures kept", kept, "MB"});
        rows.push_back({"  time", run->Ms, "ms"});
    }
    return rows;
}

// A benchmark program of loading commands: its own home and a Qt application.
inline int RunLoadBenchmarks(int argc, char** argv, const std::vector<TLoadCase>& Cases) {
    const TPrivateHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterLoadCases(Cases);
    return RunWithGoals(argc, argv, [&](const TBenchRecorder& Results) { return LoadRows(Results, Cases); });
}
