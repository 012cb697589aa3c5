// Loads that fail part way, through the buttons a user clicks: a main image whose canvas
// cannot be made, a choice of cast files of which a later one cannot be read or held, score
// files whose pictures fail or together pass what a document holds. Each shows the error box
// and leaves the document as it was; pictures too large are refused before they are made.
#include "CastPictureFiles.h"
#include "ScoreFileBytes.h"
#include "imagelib/KvDIBTestFiles.h"

namespace {

// A 1-bit picture three million pixels wide: readable and small, but the working canvas
// around it would pass the largest picture the toolkit holds.
TBytes WideBmp() {
    return OneRowFile(3000000);
}

// A picture the library holds, just past the picture limit at 32 bits.
TBytes TooLargeRleBmp() {
    return RleFile(8, 16385, 16385, 256);
}

// Twenty pictures of 1 GiB each at 32 bits, more than a document holds; their data is bad,
// which only decoding them would find. Their info headers are HeaderSize bytes long.
std::vector<TBytes> ManyLargeCasts(std::uint32_t HeaderSize = 40) {
    return std::vector<TBytes>(CastSlotCount, RleFile(8, 16384, 16384, 256, {0}, HeaderSize));
}

TBytes SmallBmp() {
    TTestDIB dib;
    dib.Width = 3;
    dib.Height = 2;
    dib.BitCount = 24;
    dib.Pixels.assign(2 * 12, 0x40);
    return dib.File();
}

// A score file of the current version: waits that differ from the test document's, the main
// image Main (none when empty), and the pictures Casts in slots 0, 1 ... of channel 3.
TBytes ScoreFile(const TBytes& Main, const std::vector<TBytes>& Casts) {
    TScoreTail tail;
    tail.FrameWaits.fill(99);
    tail.Channels[3].CellSet.fill(true);
    return ScoreFileBytes(Main, Casts, tail, 3 * CastSlotCount);
}

enum TLoadCommand { lcMainImage, lcCasts, lcScore };

struct TFailedLoad {
    const char* Name;
    TLoadCommand Command;
    // The files chosen in the dialog, in order.
    std::vector<TBytes> Files;
    // The error box's message, or empty for any error.
    std::string Message;
};

const std::string TooLarge = "TKvInternalDIB.LoadFromStream: Image is Too Large";

void PrintTo(const TFailedLoad& Load, std::ostream* Out) {
    *Out << Load.Name;
}

TBytes Cut(TBytes Bytes, std::size_t Length) {
    Bytes.resize(Length);
    return Bytes;
}

const TFailedLoad FailedLoads[] = {
    {"MainImageWhoseCanvasIsTooLarge", lcMainImage, {WideBmp()}, TooLarge},
    {"CastsWithATooLargeOne", lcCasts, {SmallBmp(), SmallBmp(), TooLargeRleBmp()}, TooLarge},
    {"CastsWithACutOne", lcCasts, {SmallBmp(), Cut(SmallBmp(), 40)}, ""},
    {"ScoreWhoseMainImageCanvasIsTooLarge", lcScore, {ScoreFile(WideBmp(), {SmallBmp()})}, TooLarge},
    {"ScoreWithATooLargeCast", lcScore, {ScoreFile(SmallBmp(), {SmallBmp(), TooLargeRleBmp()})}, TooLarge},
    {"ScoreWithACutCast", lcScore, {ScoreFile(SmallBmp(), {SmallBmp(), Cut(SmallBmp(), 40)})}, ""},
    {"ScoreWhoseCastsTogetherPassTheDocumentLimit",
     lcScore,
     {ScoreFile(SmallBmp(), ManyLargeCasts())},
     "Out of system resources"},
    {"ScoreWhoseLongHeaderCastsTogetherPassTheDocumentLimit",
     lcScore,
     {ScoreFile(SmallBmp(), ManyLargeCasts(124))},
     "Out of system resources"},
};

class FailedLoadTest : public PictureFilesTest, public ::testing::WithParamInterface<TFailedLoad> {
protected:
    // Everything a load could change: the document as a score file writes it, the cast
    // counts, the canvas and the frame view.
    TBytes Fingerprint() {
        TMemoryStream stream;
        WriteScoreFile(stream, Doc());
        for (const TScoreChannel& channel : Doc().Channels)
            stream.WriteBuffer(&channel.CastCount, sizeof channel.CastCount);
        stream.WriteBuffer(&Doc().MainImageRect, sizeof Doc().MainImageRect);
        Doc().CanvasBitmap->SaveToStream(stream);
        form->Image1->Picture()->GetGraphic()->SaveToStream(stream);
        return stream.Bytes();
    }
};

} // namespace

TEST_P(FailedLoadTest, ShowsTheErrorAndLeavesTheDocumentAsItWas) {
    const TFailedLoad& load = GetParam();
    MakeMainImage(30, 20, clYellow);
    form->Image1->Picture()->SetGraphic(Doc().CanvasBitmap.get());
    AddCast(3, 6, 4, clRed);
    AddCast(3, 5, 5, clBlue);
    SetCell(3, 1, TPoint{60, 55});
    Doc().FrameWaits[1] = 25;
    form->score->SetRow(3);
    form->cast->SetCol(1);
    const TBytes before = Fingerprint();

    std::vector<std::string> files;
    for (std::size_t i = 0; i < load.Files.size(); ++i)
        files.push_back(WriteBytes("file" + std::to_string(i) + (load.Command == lcScore ? ".sct" : ".bmp"),
                                   load.Files[i]));
    Answers->ChooseFiles(files);
    (load.Command == lcMainImage ? form->BitBtn2
     : load.Command == lcCasts   ? form->BitBtn1
                                 : form->BitBtn3)
        ->Click();

    const std::vector<TMessageRequest> messages = Answers->Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Type, mtError);
    if (!load.Message.empty()) {
        EXPECT_EQ(messages[0].Text, load.Message);
    }
    EXPECT_TRUE(Fingerprint() == before);
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryLoad, FailedLoadTest, ::testing::ValuesIn(FailedLoads),
                         [](const auto& Info) { return std::string(Info.param.Name); });
