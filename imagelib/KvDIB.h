// Device-independent bitmaps: the reference-counted image (TKvInternalDIB), the bitmap
// class the programs hold their pictures in (TKvDIB) and a canvas drawing into it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "imagelib/KvGraph.h"
#include "toolkit/graphics/Gdi.h"

TOOLKIT_EXCEPTION(EKvDIBInvalidDIB, Exception)
TOOLKIT_EXCEPTION(EKvDIBInvalidDIBFile, Exception)
TOOLKIT_EXCEPTION(EKvDIBInvalidDIBPara, Exception)
TOOLKIT_EXCEPTION(EKvDIBBadDIBType, Exception)
TOOLKIT_EXCEPTION(EKvDIBPaletteIndexRange, Exception)
TOOLKIT_EXCEPTION(EKvDIBPixelPositionRange, Exception)
TOOLKIT_EXCEPTION(EKvDIBInvalidPalette, Exception)
TOOLKIT_EXCEPTION(EKvDIBCompressionFailed, Exception)
TOOLKIT_EXCEPTION(EKvDIBAssert, Exception)

// The largest pixel storage any image may have.
constexpr std::int64_t MaxDIBStorage = std::int64_t(1) << 30;

// The BMP stream reader and the CF_DIB block reader, as their errors name them.
inline constexpr const char* StreamReaderName = "TKvInternalDIB.LoadFromStream";
inline constexpr const char* ClipboardReaderName = "TKvInternalDIB.LoadFromClipboardFormat";
// The error a reader raises for an image too large to hold. A program that refuses a read
// image for the pictures it would make of it raises the same.
EKvDIBInvalidDIB ImageTooLarge(const std::string& Reader);

enum TKvPixelFormat {
    kvpf1Bit = 0,
    kvpf4Bit = 1,
    kvpf4BitRLE = 2,
    kvpf8Bit = 3,
    kvpf8BitRLE = 4,
    kvpf24Bit = 5,
    kvpfHalfTone = 6,
    kvpfHalfToneBW = 7
};
enum TKvConvertMode : std::uint8_t { kvcmLow = 0, kvcmHigh = 1 };
enum TKvHalftoneMode : std::uint8_t { kvhtNone = 0, kvhtColor = 1, kvhtBW = 2 };

// One step of a colour reduction's progress (bound to the converting bitmap).
using TKvProgressStep = std::function<void()>;

// Header, colour table and pixel storage of one image; copied by value as a whole.
// Header, ColorTable and TableOverflow follow one another without a gap.
struct TKvDIBInfos {
    std::uint32_t ImageSize = 0;
    THandle MapHandle = 0;
    std::uint8_t* Bits = nullptr;
    BITMAPINFOHEADER Header{};
    RGBQUAD ColorTable[256]{};
    std::uint8_t TableOverflow[16]{};
};

// Raises EKvDIBAssert with Msg when Condition is false. The message is made only then: the
// accessors check on every call.
void DIBAssert(bool Condition, const std::string& Msg);
inline void DIBAssert(bool Condition, const char* Msg) {
    if (!Condition) DIBAssert(false, std::string(Msg));
}
// New zero-filled storage of Size bytes in a file mapping.
void GetFileMap(std::int64_t Size, THandle& MapHandle, std::uint8_t*& Bits);
void ReleaseFileMap(THandle MapHandle, std::uint8_t* Bits);
int ColorsOfBitCount(int BitCount);
HPALETTE GetPaletteFromDIBInfos(const TKvDIBInfos& Infos);

// Bytes per stored row of an uncompressed image: rows are padded to 4 bytes.
constexpr std::int64_t DIBRowLength(std::int64_t Width, int BitCount) {
    return ((Width * BitCount + 31) / 32) * 4;
}
// Number of stored rows (|biHeight|).
inline std::int64_t DIBRowCount(const BITMAPINFOHEADER& Header) {
    return Header.biHeight < 0 ? -std::int64_t(Header.biHeight) : std::int64_t(Header.biHeight);
}
// Start of image row Y (0 at the top) of an uncompressed image, whatever the row order.
inline std::uint8_t* DIBScanLine(const TKvDIBInfos& Infos, std::int64_t Y) {
    const std::int64_t stride = DIBRowLength(Infos.Header.biWidth, Infos.Header.biBitCount);
    const std::int64_t stored = Infos.Header.biHeight > 0 ? Infos.Header.biHeight - 1 - Y : Y;
    return Infos.Bits + stride * stored;
}

class TKvInternalDIB {
public:
    // Holds a 1 x 1 8-bit image with two black colour-table entries.
    TKvInternalDIB();
    // Holds a blank image of this form (CreateDIB).
    TKvInternalDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed);
    // Holds no storage yet, for a caller that gives it its image at once.
    struct TNoImage {};
    explicit TKvInternalDIB(TNoImage);
    ~TKvInternalDIB();
    TKvInternalDIB(const TKvInternalDIB&) = delete;
    TKvInternalDIB& operator=(const TKvInternalDIB&) = delete;

    std::int32_t RefCount = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    HPALETTE Palette = 0;
    TKvDIBInfos Infos;
    bool PaletteModified = false;

    void CreateDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed);
    void FreeDIB();
    HPALETTE MakePalette();
    void UpdatePalette();

    // BMP file image on a stream, CF_DIB block in global memory.
    void LoadFromStream(TStream& Stream);
    void SaveToStream(TStream& Stream);
    void LoadFromClipboardFormat(THandle Data);
    THandle SaveToClipboardFormat();

    TKvPixelFormat GetPixelFormat();
    void SetPixelFormat(TKvPixelFormat Target, TKvConvertMode Mode, const TKvProgressStep& Step, TColor Key);
};

class TKvDIB : public TKvGraphic {
public:
    TKvDIB();
    // A bitmap holding a blank image of this form from the start, where the 1 x 1 image of a
    // new bitmap would only be replaced.
    TKvDIB(int AWidth, int AHeight, int ABitCount, int AClrUsed);
    ~TKvDIB() override;
    TKvDIB(const TKvDIB&) = delete;
    TKvDIB& operator=(const TKvDIB&) = delete;
    std::string ClassName() const override { return "TKvDIB"; }

protected:
    void AssignTo(TPersistent* Dest) override;

public:
    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() override;
    int GetHeight() override;
    HPALETTE GetPalette() override;
    int GetWidth() override;
    void SetHeight(int Value) override;
    void SetPalette(HPALETTE Value) override;
    void SetWidth(int Value) override;
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    void LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) override;
    void SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) override;
    std::uint16_t GetClipboardFormat() override;

    int GetBitCount();
    void SetBitCount(int Value);
    int GetPaletteSize();
    void SetPaletteSize(int Value);
    TColor GetColors(int Index);
    void SetColors(int Index, TColor Value);
    int GetPixels(int X, int Y);
    void SetPixels(int X, int Y, int Value);
    TKvPixelFormat GetPixelFormat();
    void SetPixelFormat(TKvPixelFormat Value);

    TKvConvertMode ConvertMode = kvcmLow;
    TColor MaskColor = 0xFFFFFF;
    TKvHalftoneMode HalftoneMode = kvhtNone;

    // The held image; shared while its RefCount exceeds 1.
    TKvInternalDIB* InternalDIB = nullptr;
    std::int32_t ProgressCount = 0;
    std::int32_t ProgressMax = 0;
    std::string ProgressText;

    void UniqueDIB();
    void ReleaseInternalDIB();
    void UpdatePaletteModified();
    void SetProgressInfo(int Max, const std::string& Text);
    void ProgressStart();
    void ProgressStep();
    void ProgressEnd();
    // Signals a change made through a canvas.
    void Changed(TObject* Sender) override;

private:
    // Lets go of the held image and takes Image in its place.
    void InstallInternalDIB(std::unique_ptr<TKvInternalDIB> Image);
    // Replaces the image by a blank one of the given form.
    void ReplaceByBlank(int AWidth, int AHeight, int ABitCount, int AClrUsed);
    void AssignFromBitmap(TBitmap& Source);
    void DrawHalftoned(TCanvas* ACanvas, const TRect& Rect);
};

// Gives a bitmap another halftone mode for the lifetime of this object.
class THalftoneModeOverride {
public:
    THalftoneModeOverride(TKvDIB& DIB, TKvHalftoneMode Mode) : FDIB(DIB), FSaved(DIB.HalftoneMode) {
        DIB.HalftoneMode = Mode;
    }
    ~THalftoneModeOverride() { FDIB.HalftoneMode = FSaved; }
    THalftoneModeOverride(const THalftoneModeOverride&) = delete;
    THalftoneModeOverride& operator=(const THalftoneModeOverride&) = delete;

private:
    TKvDIB& FDIB;
    TKvHalftoneMode FSaved;
};

// A canvas drawing straight into a TKvDIB's pixel storage.
class TKvDIBCanvas : public TCanvas {
public:
    explicit TKvDIBCanvas(TKvDIB* ADIB);
    ~TKvDIBCanvas() override;
    std::string ClassName() const override { return "TKvDIBCanvas"; }

    HDC DC = 0;
    HBITMAP DIBSection = 0;
    TKvDIB* DIB = nullptr;
    HBITMAP OldBitmap = 0;
    HPALETTE OldPalette = 0;
    void* SectionBits = nullptr;

private:
    void Release();
};
