// Pixel access of the bitmap class, changes of pixel format and their progress events.
#include "imagelib/KvDIB.h"

int TKvDIB::GetPixels(int X, int Y) {
    const TKvDIBInfos& infos = InternalDIB->Infos;
    const BITMAPINFOHEADER& h = infos.Header;
    if (h.biCompression != BI_RGB) throw EKvDIBBadDIBType("TKvDIB.GetPixels: Bad DIB Type");
    if (X < 0 || X >= h.biWidth || Y < 0 || Y >= InternalDIB->Height)
        throw EKvDIBPixelPositionRange("TKvDIB.GetPixels: Pixel Position is Out of Range");
    const std::uint8_t* row = DIBScanLine(infos, Y);
    switch (h.biBitCount) {
    case 8:
        return row[X];
    case 24: {
        const std::uint8_t* p = row + 3 * X;
        return static_cast<int>(RGB(p[2], p[1], p[0]));
    }
    case 4:
        return X % 2 == 0 ? row[X / 2] >> 4 : row[X / 2] & 0x0F;
    case 1:
        return (row[X / 8] & (0x80 >> (X % 8))) != 0 ? 1 : 0;
    default:
        throw EKvDIBInvalidDIB("TKvDIB.GetPixels: GetPixel supports only Uncompressed DIB");
    }
}

void TKvDIB::SetPixels(int X, int Y, int Value) {
    if (InternalDIB->RefCount != 1) UniqueDIB();
    const TKvDIBInfos& infos = InternalDIB->Infos;
    const BITMAPINFOHEADER& h = infos.Header;
    if (h.biCompression != BI_RGB) throw EKvDIBBadDIBType("TKvDIB.SetPixels: Bad DIB Type");
    if (X < 0 || X >= h.biWidth || Y < 0 || Y >= InternalDIB->Height)
        throw EKvDIBPixelPositionRange("TKvDIB.SetPixels: Pixel Position is Out of Range");
    std::uint8_t* row = DIBScanLine(infos, Y);
    switch (h.biBitCount) {
    case 8:
        if (Value < 0 || Value > 255) throw ERangeError(SRangeError);
        row[X] = static_cast<std::uint8_t>(Value);
        return;
    case 24: {
        // The top byte is ignored; system colours are not resolved here.
        std::uint8_t* p = row + 3 * X;
        const TColor c = static_cast<TColor>(Value);
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
        return;
    }
    case 4: {
        std::uint8_t& b = row[X / 2];
        const std::uint8_t nibble = static_cast<std::uint8_t>(Value & 0x0F);
        b = X % 2 == 0 ? static_cast<std::uint8_t>((b & 0x0F) | nibble << 4)
                       : static_cast<std::uint8_t>((b & 0xF0) | nibble);
        return;
    }
    case 1: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (X % 8));
        row[X / 8] = Value != 0 ? row[X / 8] | bit : row[X / 8] & ~bit;
        return;
    }
    default:
        throw EKvDIBInvalidDIB("TKvDIB.SetPixels: GetPixel supports only Uncompressed 8 or 24 bit DIB");
    }
}

TKvPixelFormat TKvDIB::GetPixelFormat() {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetPixelFormat: InternalDIB Should not be Nil");
    return InternalDIB->GetPixelFormat();
}

namespace {

struct TProgressRoute {
    TKvPixelFormat From;
    TKvPixelFormat To;
    const char* Text;
    int Max;
};

// The conversions that reduce colours, the only ones that report progress.
constexpr TProgressRoute ProgressRoutes[] = {
    {kvpf24Bit, kvpf4Bit, "PixelFormat 24Bit -> 4Bit", 16},
    {kvpf24Bit, kvpf4BitRLE, "PixelFormat 24Bit -> 4BitRLE", 16},
    {kvpf24Bit, kvpf8Bit, "PixelFormat 24Bit -> 8Bit", 256},
    {kvpf24Bit, kvpf8BitRLE, "PixelFormat 24Bit -> 8BitRLE", 256},
    {kvpf8Bit, kvpf4Bit, "PixelFormat 8Bit -> 4Bit", 16},
    {kvpf8Bit, kvpf4BitRLE, "PixelFormat 8Bit -> 4BitRLE", 16},
    {kvpf8BitRLE, kvpf4Bit, "PixelFormat 8BitRLE -> 4Bit", 16},
    {kvpf8BitRLE, kvpf4BitRLE, "PixelFormat 8BitRLE -> 4BitRLE", 16},
};

const TProgressRoute* FindProgressRoute(TKvPixelFormat From, TKvPixelFormat To) {
    for (const TProgressRoute& route : ProgressRoutes)
        if (route.From == From && route.To == To) return &route;
    return nullptr;
}

} // namespace

void TKvDIB::SetPixelFormat(TKvPixelFormat Value) {
    DIBAssert(InternalDIB != nullptr, "TKvDIB.GetPixelFormat: InternalDIB Should not be Nil");
    const TKvPixelFormat current = InternalDIB->GetPixelFormat();
    if (Value == current) return;
    UniqueDIB();
    const TProgressRoute* route = FindProgressRoute(current, Value);
    if (route != nullptr) {
        SetProgressInfo(route->Max, route->Text);
        ProgressStart();
    }
    try {
        InternalDIB->SetPixelFormat(
            Value, ConvertMode, [this] { ProgressStep(); }, ColorToRGB(MaskColor));
    } catch (...) {
        UpdatePaletteModified();
        if (route != nullptr) ProgressEnd();
        throw;
    }
    UpdatePaletteModified();
    if (route != nullptr) ProgressEnd();
    Changed(this);
}

void TKvDIB::SetProgressInfo(int Max, const std::string& Text) {
    ProgressText = Text;
    ProgressMax = Max;
    ProgressCount = 0;
}

void TKvDIB::ProgressStart() {
    Progress(this, psStarting, 0, false, Rect(0, 0, Width(), Height()), ProgressText);
}

void TKvDIB::ProgressStep() {
    ++ProgressCount;
    // The last step is reported by ProgressEnd; a stray step beyond it reports nothing.
    if (ProgressCount >= ProgressMax) return;
    const auto percent = static_cast<std::uint8_t>(ProgressCount * 100 / ProgressMax);
    Progress(this, psRunning, percent, false, Rect(0, 0, Width(), Height()), ProgressText);
}

void TKvDIB::ProgressEnd() {
    Progress(this, psEnding, 100, true, Rect(0, 0, Width(), Height()), ProgressText);
}
