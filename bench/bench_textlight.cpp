// corvanta at the largest text its window allows: the biggest font the font dialog offers,
// the largest light and the widest gradient. "実行" renders the three pictures; each tick of
// the 10 ms preview timer composes and shows one frame. Both run through the window's own
// handlers, the window shown as a user sees it.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "BenchReport.h"
#include "textlight/vantacor.h"
#include "toolkit/widgets/Application.h"

namespace {

// The font dialog's largest size; "光の大きさ" follows it up to its own limit.
constexpr int LargestPoints = 512;

void SetLargestText() {
    TFont font = Form1->Edit1->GetFont();
    font.SetSize(LargestPoints);
    Form1->Edit1->SetFont(font);
    Form1->SpinEdit2->SetValue(2 * LargestPoints);
    Form1->SpinEdit1->SetValue(Form1->SpinEdit1->GetMaxValue());
}

void BM_Run(benchmark::State& State) {
    const TWorkUsage usage;
    for (auto _ : State) {
        Form1->Button1->Click();
        Form1->Timer1->SetEnabled(false);
    }
    usage.Report(State);
}

void BM_Tick(benchmark::State& State) {
    Form1->Button1->Click();
    Form1->Timer1->SetEnabled(false);
    Form1->Timer1Timer(Form1->Timer1);
    const TWorkUsage usage;
    for (auto _ : State)
        Form1->Timer1Timer(Form1->Timer1);
    usage.Report(State);
}

BENCHMARK(BM_Run)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Tick)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ticks the running preview's timer gives in two seconds of the event loop, as a user sees
// the light move; 200 when every tick is kept.
int TicksInTwoSeconds() {
    Form1->Button1->Click();
    int ticks = 0;
    const TNotifyEvent tick = Form1->Timer1->OnTimer;
    Form1->Timer1->OnTimer = [&](TObject* Sender) {
        ++ticks;
        tick(Sender);
    };
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000)
        Application->ProcessMessages();
    Form1->Timer1->SetEnabled(false);
    Form1->Timer1->OnTimer = tick;
    return ticks;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Application->CreateForm(Form1);
    Form1->Show();
    Application->ProcessMessages();
    SetLargestText();
    const int ticks = TicksInTwoSeconds();
    std::printf("preview ticks in 2 s: %d\n", ticks);
    return RunWithGoals(argc, argv, [ticks](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows;
        if (const auto* run = Results.Find("BM_Run")) {
            rows.push_back({"corvanta 実行, largest text", run->Ms, "ms", TGoalRow::AtMost, 100});
            rows.push_back({"  minor page faults per run", run->Counter("faults"), "faults"});
        }
        if (const auto* tick = Results.Find("BM_Tick")) {
            rows.push_back({"corvanta preview tick, largest text", tick->Ms, "ms", TGoalRow::AtMost, 10});
            rows.push_back({"  minor page faults per tick", tick->Counter("faults"), "faults"});
        }
        rows.push_back({"corvanta preview ticks in 2 s", double(ticks), "ticks", TGoalRow::AtLeast, 190});
        return rows;
    });
}
