// The frame-set editor's openings of small files that declare large pictures: GIFs whose
// logical screen is large or too large for a frame of one pixel, a GIF whose one frame is as
// large as its LZW data can fill, and an RLE4 BMP that ends at once. Each is opened through
// its button and measured alone (BenchLoads.h).
#include "BenchLoads.h"
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadcol.h"
#include "frameset/forms/gifreadview.h"
#include "tests/framesetmodel/GifBytes.h"
#include "tests/imagelib/KvDIBTestFiles.h"

namespace {

void StartFrameSet() {
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Form1->Show();
}

// The frames' pictures, the screen and frame bitmaps and the view's picture.
double FrameSetKeptMb() {
    TKeptPictures kept;
    for (int i = 0; i < FrameCount; ++i) {
        const TKvDIBInfos& infos = FrameList[std::size_t(i)].Image->InternalDIB->Infos;
        kept.Add(infos.Bits, infos.ImageSize);
    }
    kept.AddBitmap(ScreenBitmap.get());
    kept.AddBitmap(FrameBitmap.get());
    kept.AddBitmap(Form1->Image1->Picture()->GetGraphic());
    return kept.Mb();
}

void NewGif(TScriptedAnswerer& Answers, const std::string& Path) {
    Answers.ChooseFiles({Path}, 1);
    Form1->Button1->Click();
}

void InsertBmp(TScriptedAnswerer& Answers, const std::string& Path) {
    Answers.ChooseFiles({Path}, 2);
    Form1->Button9->Click();
}

TBytes OnePixelOnScreen(int Width, int Height) {
    TGifBuilder gif;
    gif.Screen(Width, Height, 2).Control(0, 0, 0).Image(0, 0, 1, 1, {0}, 2);
    return gif.Trailer().Bytes();
}

// One frame of a single colour in the fewest bits LZW data can take: the screen's size, its
// data about 60 KB.
TBytes FrameAtTheLzwBound() {
    constexpr int side = 12727;
    TGifBuilder gif;
    gif.Screen(side, side, 2)
        .Control(0, 0, 0)
        .ImageData(0, 0, side, side, LzwRun(0, std::int64_t(side) * side, 2), 2);
    return gif.Trailer().Bytes();
}

const std::vector<TLoadCase> Cases = {
    {"GIF: screen 16384x16384, 1x1 frame", "large.gif", [] { return OnePixelOnScreen(16384, 16384); },
     StartFrameSet, NewGif, FrameSetKeptMb},
    {"GIF: screen 65535x65535, 1x1 frame", "huge.gif", [] { return OnePixelOnScreen(65535, 65535); },
     StartFrameSet, NewGif, FrameSetKeptMb},
    {"GIF: 12727x12727 frame, LZW bound", "bound.gif", FrameAtTheLzwBound, StartFrameSet, NewGif,
     FrameSetKeptMb},
    {"BMP insert: RLE4 16384x16384, 120 B", "huge.bmp", [] { return RleFile(4, 16384, 16384, 16); },
     StartFrameSet, InsertBmp, FrameSetKeptMb},
};

} // namespace

int main(int argc, char** argv) {
    return RunLoadBenchmarks(argc, argv, Cases);
}
