// What a viewer shows of the GIFs the exports write: each frame drawn over the one before,
// transparent pixels left out, disposal 2 clearing the frame's rectangle afterwards.
#pragma once

#include <QFile>
#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/GifDecode.h"
#include "toolkit/graphics/Types.h"

// Pixels as a viewer shows them: 0x00RRGGBB, or Clear where nothing is drawn.
using TPixels = std::vector<std::uint32_t>;
constexpr std::uint32_t Clear = 0xFF000000;

inline std::uint32_t ToRgb(TColor Color) {
    return (std::uint32_t(GetRValue(Color)) << 16) | (GetGValue(Color) << 8) | GetBValue(Color);
}

inline std::vector<TPixels> PlayGif(const TDecodedGif& Gif) {
    std::vector<TPixels> shown;
    TPixels screen(std::size_t(Gif.Width) * Gif.Height, Clear);
    for (const TDecodedFrame& frame : Gif.Frames) {
        for (int y = 0; y < frame.Height; ++y)
            for (int x = 0; x < frame.Width; ++x) {
                const int index = frame.Pixels[std::size_t(y) * frame.Width + x];
                if (index == frame.TransparentIndex) continue;
                screen[std::size_t(frame.Top + y) * Gif.Width + frame.Left + x] = frame.Colors.at(index);
            }
        shown.push_back(screen);
        if (frame.Disposal == 2)
            for (int y = 0; y < frame.Height; ++y)
                for (int x = 0; x < frame.Width; ++x)
                    screen[std::size_t(frame.Top + y) * Gif.Width + frame.Left + x] = Clear;
    }
    return shown;
}

// A picture's pixels row by row; Transparent, when given, is the colour a viewer shows as Clear.
inline TPixels ShownPixels(const QImage& Image, std::optional<TColor> Transparent = std::nullopt) {
    TPixels screen;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const std::uint32_t rgb = Image.pixel(x, y) & 0xFFFFFF;
            screen.push_back(Transparent && rgb == ToRgb(*Transparent) ? Clear : rgb);
        }
    return screen;
}

inline TBytes ReadFileBytes(const std::string& Path) {
    QFile file(QString::fromStdString(Path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return TBytes(data.begin(), data.end());
}
