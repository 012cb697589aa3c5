// The frame list: insertion and removal of frames, and the shared state of the program.
#include "frameset/model/gifreadframes.h"

std::array<TFrameEntry, MaxFrameCount + 1> FrameList;
std::int32_t FrameCount = 0;
std::int32_t ScreenWidth = 0;
std::int32_t ScreenHeight = 0;
std::int32_t SourceScreenWidth = 0;
std::int32_t SourceScreenHeight = 0;
std::int32_t GlobalColorCount = 0;
std::array<TColor, 256> GlobalColorTable{};
TFrameEntry DecodedFrame;
std::unique_ptr<TKvDIB> DecodeImage;
std::unique_ptr<TBitmap> ScreenBitmap;
std::unique_ptr<TBitmap> FrameBitmap;
TRect FrameFocusRect{};
bool Idle = true;
std::uint8_t CustomColorSlot = 0;

void CreateFrameSetState() {
    DecodeImage = std::make_unique<TKvDIB>();
    CustomColorSlot = 0;
    ClearFrames();
    FrameFocusRect = TRect{};
    ScreenBitmap = std::make_unique<TBitmap>();
    FrameBitmap = std::make_unique<TBitmap>();
    Idle = true;
}

void FreeFrameSetState() {
    ClearFrames();
    DecodeImage.reset();
    ScreenBitmap.reset();
    FrameBitmap.reset();
}

void InsertFrame(int Index, const TFrameSettings& Settings, TKvDIB& Picture) {
    const bool wasEmpty = FrameCount == 0;
    FrameList[FrameCount].Image = std::make_unique<TKvDIB>();
    // The picture objects stay in their slots; their images move by sharing.
    for (int j = FrameCount - 1; j >= Index; --j) {
        static_cast<TFrameSettings&>(FrameList[j + 1]) = FrameList[j];
        FrameList[j + 1].Image->Assign(FrameList[j].Image.get());
    }
    static_cast<TFrameSettings&>(FrameList[Index]) = Settings;
    FrameList[Index].Image->Assign(&Picture);
    if (wasEmpty) {
        ScreenWidth = SourceScreenWidth;
        ScreenHeight = SourceScreenHeight;
    }
    ++FrameCount;
}

std::uint8_t BitsPerPixelOfPaletteSize(int PaletteSize) {
    std::uint8_t bits = 3;
    while (bits < 8 && PaletteSize > (1 << bits))
        ++bits;
    return bits;
}

TFrameSettings BitmapFrameSettings(TKvDIB& Bitmap) {
    TFrameSettings settings;
    settings.Width = Bitmap.Width();
    settings.Height = Bitmap.Height();
    settings.BitsPerPixel = BitsPerPixelOfPaletteSize(Bitmap.GetPaletteSize());
    return settings;
}

void DeleteFrames(int First, int Last) {
    if (First < 0 || First > Last || Last >= FrameCount) return;
    const int behind = FrameCount - 1 - Last;
    for (int k = 0; k < behind; ++k) {
        static_cast<TFrameSettings&>(FrameList[First + k]) = FrameList[Last + 1 + k];
        FrameList[First + k].Image->Assign(FrameList[Last + 1 + k].Image.get());
    }
    for (int j = First + behind; j <= Last + behind; ++j)
        FrameList[j].Image.reset();
    FrameCount -= Last - First + 1;
}

void ClearFrames() {
    for (TFrameEntry& entry : FrameList)
        entry.Image.reset();
    FrameCount = 0;
}

TFrameListSnapshot::TFrameListSnapshot()
    : FFrameCount(FrameCount), FScreenWidth(ScreenWidth), FScreenHeight(ScreenHeight),
      FSourceScreenWidth(SourceScreenWidth), FSourceScreenHeight(SourceScreenHeight),
      FGlobalColorCount(GlobalColorCount), FGlobalColorTable(GlobalColorTable) {
    for (int i = 0; i < FrameCount; ++i) {
        static_cast<TFrameSettings&>(FFrames[i]) = FrameList[i];
        FFrames[i].Image = std::make_unique<TKvDIB>();
        FFrames[i].Image->Assign(FrameList[i].Image.get());
    }
}

void TFrameListSnapshot::Restore() noexcept {
    // The list's pictures of now go to the snapshot, to be freed with it.
    for (std::size_t i = 0; i < FrameList.size(); ++i) {
        static_cast<TFrameSettings&>(FrameList[i]) = FFrames[i];
        FrameList[i].Image.swap(FFrames[i].Image);
    }
    FrameCount = FFrameCount;
    ScreenWidth = FScreenWidth;
    ScreenHeight = FScreenHeight;
    SourceScreenWidth = FSourceScreenWidth;
    SourceScreenHeight = FSourceScreenHeight;
    GlobalColorCount = FGlobalColorCount;
    GlobalColorTable = FGlobalColorTable;
}
