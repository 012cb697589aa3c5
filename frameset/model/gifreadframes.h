// The frame list of the frame-set editor and the state its windows and its GIF reader share.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Graphics.h"

// TransparentPoint.X of a frame without a transparent pixel.
constexpr int NoTransparentPoint = -10;
constexpr int MaxFrameCount = 200;

// Everything a frame carries besides the reader's stream position and its picture; these
// fields move together when frames are inserted or deleted.
struct TFrameSettings {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t LocalColorCount = 0; // 0: the frame uses the global table
    std::uint8_t BitsPerPixel = 0;
    std::int32_t Delay = 0; // hundredths of a second
    std::uint8_t TransparentIndex = 0;
    TPoint TransparentPoint{NoTransparentPoint, 0};
    std::uint8_t Disposal = 0; // GIF disposal method as read, 0..7
    bool Transparent = false;
};

struct TFrameEntry : TFrameSettings {
    std::int64_t DataStart = 0; // the reader's position of the image data; never copied
    std::unique_ptr<TKvDIB> Image;
};

// Slots 0..FrameCount - 1 hold the frames in display order; slot 200 never holds one.
extern std::array<TFrameEntry, MaxFrameCount + 1> FrameList;
extern std::int32_t FrameCount;

extern std::int32_t ScreenWidth;
extern std::int32_t ScreenHeight;
// The screen size that the next insertion into an empty list takes over.
extern std::int32_t SourceScreenWidth;
extern std::int32_t SourceScreenHeight;
extern std::int32_t GlobalColorCount;
extern std::array<TColor, 256> GlobalColorTable;
// The image being read; its picture is DecodeImage.
extern TFrameEntry DecodedFrame;
extern std::unique_ptr<TKvDIB> DecodeImage;
// Blank picture of the screen size, the start of the editor view and of playback.
extern std::unique_ptr<TBitmap> ScreenBitmap;
// One frame is drawn into it before it goes, colour-keyed, onto a view.
extern std::unique_ptr<TBitmap> FrameBitmap;
extern TRect FrameFocusRect;
// False only while the set is played.
extern bool Idle;
extern std::uint8_t CustomColorSlot;

// The state of a program start: an empty list, the scratch pictures made, idle.
void CreateFrameSetState();
// Frees every picture (the end of the program).
void FreeFrameSetState();

// Inserts a frame with Settings and Picture's image (shared, copy on write) at Index,
// 0 <= Index <= FrameCount < 200; the frames from Index on move up by one. The first frame
// of an empty list takes SourceScreenWidth/Height as the screen size.
void InsertFrame(int Index, const TFrameSettings& Settings, TKvDIB& Picture);
// The settings a bitmap gets when it enters the list.
TFrameSettings BitmapFrameSettings(TKvDIB& Bitmap);
// BitsPerPixel of a palette: 0..8 entries 3, 9..16 4 ... 129..256 8.
std::uint8_t BitsPerPixelOfPaletteSize(int PaletteSize);
// Removes frames First..Last; the frames behind them move down.
void DeleteFrames(int First, int Last);
// Frees every frame.
void ClearFrames();

// The frame list and the state that comes with it (the screen sizes, the global colour
// table), kept while a command loads frames so that a load that fails can put it back. The
// frames' pictures are shared with the list, not copied.
class TFrameListSnapshot {
public:
    TFrameListSnapshot();
    // The list becomes what it was when the snapshot was taken; nothing here can fail.
    void Restore() noexcept;

private:
    std::array<TFrameEntry, MaxFrameCount + 1> FFrames;
    std::int32_t FFrameCount;
    std::int32_t FScreenWidth;
    std::int32_t FScreenHeight;
    std::int32_t FSourceScreenWidth;
    std::int32_t FSourceScreenHeight;
    std::int32_t FGlobalColorCount;
    std::array<TColor, 256> FGlobalColorTable;
};
