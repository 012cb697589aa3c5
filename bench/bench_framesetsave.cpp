// Sorbelset's GIF save of 50 frames of 1024 x 768 in 256 colours, opened from a GIF and saved
// through the window's save button: the colour reduction of every frame to one palette, then
// the file. Each save after the first finds the heap as the first left it, as a user saving
// again does; the first save of the run is measured on its own.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchFrames.h"
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadcol.h"
#include "frameset/model/gifreadsave.h"
#include "frameset/forms/gifreadview.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/ScriptedAnswerer.h"

namespace {

constexpr int FrameWidth = 1024, FrameHeight = 768, Frames = 50;
constexpr int GifFilter = 1;

TScriptedAnswerer* Answers = nullptr;
QTemporaryDir* Folder = nullptr;

std::string PathOf(const char* Name) {
    return Folder->filePath(Name).toStdString();
}

// The frames of the animation, each an 8-bit picture in a 3-3-2 palette, written as a GIF.
std::string WriteAnimation(bool Dithered) {
    ClearFrames();
    SourceScreenWidth = FrameWidth;
    SourceScreenHeight = FrameHeight;
    for (const TFrame& frame : MakeFrames(FrameWidth, FrameHeight, Frames, Dithered)) {
        TKvDIB picture(FrameWidth, FrameHeight, 8, 256);
        for (int i = 0; i < 256; ++i)
            picture.SetColors(i, RGB(std::uint8_t((i >> 5) * 255 / 7), std::uint8_t((i >> 2 & 7) * 255 / 7),
                                     std::uint8_t((i & 3) * 255 / 3)));
        for (int y = 0; y < FrameHeight; ++y)
            std::copy_n(frame.Pixels.data() + std::size_t(y) * FrameWidth, FrameWidth,
                        DIBScanLine(picture.InternalDIB->Infos, y));
        TFrameSettings settings = BitmapFrameSettings(picture);
        settings.Delay = 10;
        InsertFrame(FrameCount, settings, picture);
    }
    const std::string name = PathOf(Dithered ? "dithered.gif" : "flat.gif");
    ReduceFrameColors(1, TFrameSetProgress{});
    SaveFrameSetGif(name, TFrameSetProgress{});
    ClearFrames();
    return name;
}

// "新規作成" with the GIF, as a user opens it.
void Open(const std::string& Gif) {
    Answers->ChooseFiles({Gif}, GifFilter);
    Form1->Button1->Click();
    Application->ProcessMessages();
}

void Save(const std::string& Name) {
    Answers->ChooseFiles({Name}, GifFilter);
    Form1->Button3->Click();
}

// Frames of a photograph (dithered) or of a cartoon (flat), saved in 256 colours or with the
// halftone dither.
void BM_SaveGif(benchmark::State& State) {
    const bool dithered = State.range(0) != 0, halftone = State.range(1) != 0;
    Open(WriteAnimation(dithered));
    (halftone ? Form1->N25601 : Form1->N25661)->Click();
    const std::string name = PathOf("saved.gif");
    Save(name);
    const TWorkUsage usage;
    for (auto _ : State)
        Save(name);
    usage.Report(State);
    State.SetLabel(std::string(dithered ? "dithered" : "flat") + (halftone ? ", halftone" : ""));
}

// A few saves each: the heap does not settle after one.
BENCHMARK(BM_SaveGif)
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Iterations(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

TOneRun FirstSave() {
    Open(WriteAnimation(true));
    return MeasureOnce([] { Save(PathOf("first.gif")); });
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    Folder = &folder;
    TScriptedAnswerer answers;
    Answers = &answers;
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Form1->Show();
    Application->ProcessMessages();
    const TOneRun first = FirstSave();
    std::printf("first save: %.1f ms, %ld minor faults\n", first.Ms, first.Faults);
    return RunWithGoals(argc, argv, [&first](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows{
            {"Sorbelset save 50 x 1024x768, first of the run", first.Ms, "ms"},
            {"  its minor page faults", double(first.Faults), "faults"},
        };
        for (const char* label : {"dithered", "flat", "dithered, halftone"})
            if (const auto* run = Results.Find("BM_SaveGif", label)) {
                rows.push_back({std::string("Sorbelset save 50 x 1024x768, ") + label, run->Ms, "ms"});
                rows.push_back({"  minor page faults per save", run->Counter("faults"), "faults",
                                TGoalRow::AtMost, 2000});
            }
        rows.push_back({"save peak RSS", PeakRssMb(), "MB"});
        return rows;
    });
}
