// The editor's openings of small files that declare large pictures: a main image from a
// progressive JPEG and from an RLE BMP that ends at once, and score files holding a main image
// one pixel high or two hundred large casts. Each is opened through its button and measured
// alone (BenchLoads.h).
#include "BenchLoads.h"
#include "editor/forms/gifform.h"
#include "editor/forms/gifview.h"
#include "editor/forms/ngform.h"
#include "editor/forms/scoreset.h"
#include "editor/forms/transform.h"
#include "tests/common/JpegFiles.h"
#include "tests/editor/ScoreFileBytes.h"
#include "tests/imagelib/KvDIBTestFiles.h"

namespace {

void StartEditor() {
    Application->CreateForm(MobrelForm);
    Application->CreateForm(newform);
    Application->CreateForm(scoreform);
    Application->CreateForm(transfrm);
    Application->CreateForm(viewform);
    MobrelForm->Show();
}

// The document's pictures and the frame view's.
double EditorKeptMb() {
    TEditorDocument& doc = MobrelForm->Document();
    TKeptPictures kept;
    kept.AddBitmap(doc.MainImage.get());
    kept.AddBitmap(doc.CanvasBitmap.get());
    kept.AddBitmap(MobrelForm->Image1->Picture()->GetGraphic());
    for (const TScoreChannel& channel : doc.Channels)
        for (int s = 0; s < CastSlotCount; ++s)
            kept.AddBitmap(channel.Cast(s));
    return kept.Mb();
}

void OpenMainImage(TScriptedAnswerer& Answers, const std::string& Path) {
    Answers.ChooseFiles({Path});
    MobrelForm->BitBtn2->Click();
}

void OpenScore(TScriptedAnswerer& Answers, const std::string& Path) {
    Answers.ChooseFiles({Path});
    MobrelForm->BitBtn3->Click();
}

// A grey picture of 5760 x 5760 in progressive scans: about one bit of coded data per block.
TBytes ProgressiveJpeg() {
    return EncodeJpegRows(
        5760, 5760, 1, [](int, unsigned char* Row) { std::memset(Row, 128, 5760); },
        [](jpeg_compress_struct& Info) { jpeg_simple_progression(&Info); });
}

// A 1-bit main image one pixel high and 339392 wide: its canvas is a hundred rows of that.
TBytes WideMainImageScore() {
    return ScoreFileBytes(OneRowFile(339392), {});
}

TBytes ManyLargeCastsScore() {
    return ScoreFileBytes({}, std::vector<TBytes>(CastStreamCount, RleFile(8, 2048, 2048, 2)));
}

const std::vector<TLoadCase> Cases = {
    {"main image: JPEG 5760x5760 progressive", "photo.jpg", ProgressiveJpeg, StartEditor, OpenMainImage,
     EditorKeptMb},
    {"main image: RLE8 16384x16384, 1 KB", "huge.bmp", [] { return RleFile(8, 16384, 16384, 256); },
     StartEditor, OpenMainImage, EditorKeptMb},
    {"score: 1-bit main image 339392x1", "wide.sct", WideMainImageScore, StartEditor, OpenScore,
     EditorKeptMb},
    {"score: 200 RLE8 casts of 2048x2048", "casts.sct", ManyLargeCastsScore, StartEditor, OpenScore,
     EditorKeptMb},
};

} // namespace

int main(int argc, char** argv) {
    return RunLoadBenchmarks(argc, argv, Cases);
}
