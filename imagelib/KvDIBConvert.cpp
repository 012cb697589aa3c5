// Changing an image's pixel format: reading the format off the header, and the dispatch
// that chains the converters from the current format to the one asked for.
#include <array>

#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"

namespace {

enum TConvertStep {
    csNone,
    csDecode4,
    csDecode8,
    csEncode4,
    csEncode8,
    cs1To4,
    cs1To8,
    cs4To8,
    cs1To24,
    cs4To24,
    cs8To24,
    cs24To1,
    cs8To1,
    cs4To1,
    cs8To4,
    cs24To4,
    cs24To8,
    csHalfTone,
    csHalfToneBW
};

using TRoute = std::array<TConvertStep, 3>;

// Steps from each current format (rows, kvpf1Bit … kvpf24Bit) to each target (columns,
// kvpf1Bit … kvpfHalfToneBW). Routes from an RLE format decode first; routes to one
// encode last.
// clang-format off
constexpr TRoute Routes[6][8] = {
    // kvpf1Bit
    {{csNone},
     {cs1To4},
     {cs1To4, csEncode4},
     {cs1To8},
     {cs1To8, csEncode8},
     {cs1To24},
     {csHalfTone},
     {csHalfToneBW}},
    // kvpf4Bit
    {{cs4To1},
     {csNone},
     {csEncode4},
     {cs4To8},
     {cs4To8, csEncode8},
     {cs4To24},
     {csHalfTone},
     {csHalfToneBW}},
    // kvpf4BitRLE
    {{csDecode4, cs4To1},
     {csDecode4},
     {csNone},
     {csDecode4, cs4To8},
     {csDecode4, cs4To8, csEncode8},
     {csDecode4, cs4To24},
     {csDecode4, csHalfTone},
     {csDecode4, csHalfToneBW}},
    // kvpf8Bit
    {{cs8To1},
     {cs8To4},
     {cs8To4, csEncode4},
     {csNone},
     {csEncode8},
     {cs8To24},
     {csHalfTone},
     {csHalfToneBW}},
    // kvpf8BitRLE
    {{csDecode8, cs8To1},
     {csDecode8, cs8To4},
     {csDecode8, cs8To4, csEncode4},
     {csDecode8},
     {csNone},
     {csDecode8, cs8To24},
     {csDecode8, csHalfTone},
     {csDecode8, csHalfToneBW}},
    // kvpf24Bit
    {{cs24To1},
     {cs24To4},
     {cs24To4, csEncode4},
     {cs24To8},
     {cs24To8, csEncode8},
     {csNone},
     {csHalfTone},
     {csHalfToneBW}},
};
// clang-format on

void PixelFormatError() {
    DIBAssert(false, "TKvIntenalDIB.SetPixelsFormat: PixelFormat Error");
}

void RunStep(TConvertStep Step, const TKvDIBInfos& Source, TKvDIBInfos& Result, TKvConvertMode Mode,
             const TKvProgressStep& Progress, TColor Key) {
    switch (Step) {
    case csDecode4:
        return Convert4BitRLETo4BitRGB(Source, Result);
    case csDecode8:
        return Convert8BitRLETo8BitRGB(Source, Result);
    case csEncode4:
        return Convert4BitRGBTo4BitRLE(Source, Result);
    case csEncode8:
        return Convert8BitRGBTo8BitRLE(Source, Result);
    case cs1To4:
        return Convert1BitRGBTo4BitRGB(Source, Result);
    case cs1To8:
        return Convert1BitRGBTo8BitRGB(Source, Result);
    case cs4To8:
        return Convert4BitRGBTo8BitRGB(Source, Result);
    case cs1To24:
        return Convert1BitRGBToTrueColor(Source, Result);
    case cs4To24:
        return Convert4BitRGBToTrueColor(Source, Result);
    case cs8To24:
        return Convert8BitRGBToTrueColor(Source, Result);
    case cs24To1:
        return ConvertTrueColorTo1BitRGB(Source, Result, Key);
    case cs8To1:
        return Convert8BitTo1BitRGB(Source, Result, Key);
    case cs4To1:
        return Convert4BitRGBTo1BitRGB(Source, Result, Key);
    case cs8To4:
        return Convert8BitRGBTo4BitRGB(Source, Result, Progress);
    case cs24To4:
        return Mode == kvcmHigh ? ConvertTrueColorTo4BitRGBHigh(Source, Result, Progress)
                                : ConvertTrueColorTo4BitRGBLow(Source, Result, Progress);
    case cs24To8:
        return Mode == kvcmHigh ? ConvertTrueColorTo8BitRGBHigh(Source, Result, Progress)
                                : ConvertTrueColorTo8BitRGBLow(Source, Result, Progress);
    case csHalfTone:
        return ConvertToHalfTone(Source, Result);
    case csHalfToneBW:
        return ConvertToHalfToneBW(Source, Result);
    case csNone:
        return PixelFormatError();
    }
}

} // namespace

TKvPixelFormat TKvInternalDIB::GetPixelFormat() {
    const std::uint32_t compression = Infos.Header.biCompression;
    switch (Infos.Header.biBitCount) {
    case 1:
        if (compression == BI_RGB) return kvpf1Bit;
        throw EKvDIBInvalidDIB("TKvInternalDIB.GetPixelFormat: Invalid DIB(1Bit)");
    case 4:
        if (compression == BI_RGB) return kvpf4Bit;
        if (compression == BI_RLE4) return kvpf4BitRLE;
        throw EKvDIBInvalidDIB("TKvInternalDIB.GetPixelFormat: Invalid DIB(4Bit)");
    case 8:
        if (compression == BI_RGB) return kvpf8Bit;
        if (compression == BI_RLE8) return kvpf8BitRLE;
        throw EKvDIBInvalidDIB("TKvInternalDIB.GetPixelFormat: Invalid DIB(8Bit)");
    case 24:
        if (compression == BI_RGB) return kvpf24Bit;
        throw EKvDIBInvalidDIB("TKvInternalDIB.GetPixelFormat: Invalid DIB(24Bit)");
    default:
        throw EKvDIBInvalidDIB("TKvInternalDIB.GetPixelFormat: Invalid DIB(Illegal BitCount)");
    }
}

void TKvInternalDIB::SetPixelFormat(TKvPixelFormat Target, TKvConvertMode Mode, const TKvProgressStep& Step,
                                    TColor Key) {
    const TKvPixelFormat current = GetPixelFormat();
    if (Target < kvpf1Bit || Target > kvpfHalfToneBW) PixelFormatError();
    const TRoute& route = Routes[current][Target];
    if (route[0] == csNone) PixelFormatError();

    // Each step reads the previous step's result; only the last result survives.
    TKvDIBInfos converted{};
    bool haveConverted = false;
    try {
        for (const TConvertStep step : route) {
            if (step == csNone) break;
            TKvDIBInfos next{};
            RunStep(step, haveConverted ? converted : Infos, next, Mode, Step, Key);
            if (haveConverted) ReleaseConvertedInfos(converted);
            converted = next;
            haveConverted = true;
        }
    } catch (...) {
        if (haveConverted) ReleaseConvertedInfos(converted);
        throw;
    }

    // Install the new image before letting the old storage go, so that a failing release
    // cannot leave the image without storage.
    const TKvDIBInfos old = Infos;
    Infos = converted;
    if (old.Bits != nullptr) ReleaseFileMap(old.MapHandle, old.Bits);
    UpdatePalette();
}
