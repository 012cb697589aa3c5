// New and insert with files that fail part way: GIF files refused at a stage or by a picture
// error, a screen or frame too large to show, BMP files of which a later one is no bitmap or
// too large to show. The list, the grid and the view stay as they were before the command.
#include "FrameSetForms.h"
#include "imagelib/KvDIBTestFiles.h"

namespace {

enum TLoadKind { lkGif = 1, lkBmp = 2 };

struct TFailedLoad {
    const char* Name;
    bool New; // else insert
    TLoadKind Kind;
    // The chosen files' bytes; an empty entry stands for a good BMP.
    std::vector<TBytes> Files;
    // The message of the load, or empty for the application's error box.
    std::string Message;
};

void PrintTo(const TFailedLoad& Load, std::ostream* Out) {
    *Out << Load.Name;
}

// Two good frames, then an image whose data is cut short.
TBytes CutGif() {
    TGifBuilder gif;
    gif.Screen(40, 30, 256);
    for (int i = 0; i < 2; ++i)
        gif.Control(0, 70 + i, 0).Image(0, 0, 4, 3, TBytes(12, 3));
    gif.Control(0, 72, 0);
    TBytes bytes = gif.Image(0, 0, 4, 3, TBytes(12, 3)).Bytes();
    bytes.resize(bytes.size() - 3);
    return bytes;
}

// A good frame, then one whose data decodes past its last row.
TBytes OverlongGif() {
    TGifBuilder gif;
    gif.Screen(8, 8, 4).Control(0, 7, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2);
    gif.Control(0, 0, 0).ImageData(0, 0, 4, 3, LzwPlain(TBytes(13, 1), 2), 2);
    return gif.Bytes();
}

// Good frames on a screen far larger than any picture the toolkit holds.
TBytes HugeScreenGif() {
    TGifBuilder gif;
    gif.Screen(65535, 65535, 4).Control(0, 5, 0).Image(0, 0, 4, 3, TBytes(12, 1), 2);
    return gif.Trailer().Bytes();
}

// A frame of 16385 x 16385 that its data can fill: within what an 8-bit picture holds, but
// just past the picture limit as the device bitmap it is drawn through.
TBytes FrameTooLargeToShowGif() {
    constexpr int side = 16385;
    TGifBuilder gif;
    gif.Screen(40, 30, 4).Control(0, 5, 0);
    gif.ImageData(0, 0, side, side, LzwRun(1, std::int64_t(side) * side, 2), 2);
    return gif.Trailer().Bytes();
}

// An RLE4 bitmap of 16384 x 16385 whose data ends at once: a few bytes the library holds,
// too large to show.
TBytes BitmapTooLargeToShow() {
    return RleFile(4, 16384, 16385, 16);
}

const TBytes NoBitmap{'B', 'M', 1, 2, 3};

const TFailedLoad FailedLoads[] = {
    {"NewGifOfAnOlderVersion", true, lkGif, {TGifBuilder("GIF87a").Bytes()}, "エラーが発生しました #=0"},
    {"NewGifOnAScreenTooLarge", true, lkGif, {HugeScreenGif()}, "エラーが発生しました #=2"},
    {"NewGifWithAFrameTooLargeToShow", true, lkGif, {FrameTooLargeToShowGif()}, "エラーが発生しました #=2"},
    {"InsertGifCutShort", false, lkGif, {CutGif()}, "エラーが発生しました #=2"},
    {"InsertGifWithAPictureError", false, lkGif, {OverlongGif()}, ""},
    {"NewBitmapsWithOneThatIsNone", true, lkBmp, {{}, NoBitmap}, ""},
    {"InsertBitmapsWithOneThatIsNone", false, lkBmp, {{}, {}, NoBitmap, {}}, ""},
    {"NewBitmapsWithOneTooLargeToShow",
     true,
     lkBmp,
     {{}, BitmapTooLargeToShow()},
     "TKvInternalDIB.LoadFromStream: Image is Too Large"},
};

class FailedLoadTest : public FrameSetFormsTest, public ::testing::WithParamInterface<TFailedLoad> {};

} // namespace

TEST_P(FailedLoadTest, LeavesTheListTheGridAndTheViewAsTheyWere) {
    const TFailedLoad& load = GetParam();
    OpenGif(Frames(5, 10));
    SelectRows(4, 2); // frames 1..3, frame 1 current
    Form1->StringGrid1MouseDown(Form1->StringGrid1, mbLeft, 0, 0, 0);
    const QImage view = Form1->Image1->Picture()->Bitmap()->Image();
    const TRect focus = FrameFocusRect;

    std::vector<std::string> files;
    for (std::size_t i = 0; i < load.Files.size(); ++i)
        files.push_back(load.Files[i].empty() ? WriteBmp("good.bmp", 7, 5, clRed)
                                              : WriteFile("file" + std::to_string(i), load.Files[i]));
    Answers->ChooseFiles(files, load.Kind);
    (load.New ? Form1->N1 : Form1->I1)->Click();

    const std::vector<TMessageRequest> messages = Answers->Messages();
    ASSERT_EQ(messages.size(), 1u);
    if (load.Message.empty())
        EXPECT_EQ(messages[0].Type, mtError);
    else
        EXPECT_EQ(messages[0].Text, load.Message);
    EXPECT_EQ(Delays(), (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(Form1->StringGrid1->GetRowCount(), 6);
    EXPECT_EQ(Form1->StringGrid1->GetCells(0, 5), "5");
    EXPECT_EQ(Form1->StringGrid1->Row(), 2);
    EXPECT_EQ(Form1->StringGrid1->GetSelection(), (TGridRect{0, 2, 0, 4}));
    EXPECT_EQ(ScreenWidth, 40);
    EXPECT_EQ(ScreenBitmap->Height(), 30);
    EXPECT_EQ(Form1->allx->GetCaption(), "40");
    EXPECT_EQ(FrameFocusRect, focus);
    EXPECT_TRUE(Form1->Image1->Picture()->Bitmap()->Image() == view);
    EXPECT_EQ(Form1->ProgressBar1->GetPosition(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryLoad, FailedLoadTest, ::testing::ValuesIn(FailedLoads),
                         [](const auto& Info) { return std::string(Info.param.Name); });
