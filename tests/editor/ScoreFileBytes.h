// Score files of the current version written piece by piece from BMP file images.
#pragma once

#include <vector>

#include "editor/model/scorefile.h"

// The magic, the main image Main (none when empty), the pictures Casts in the cast streams
// from FirstStream on (index channel * CastSlotCount + slot), and Tail's tables with the
// image lengths filled in.
inline std::vector<std::uint8_t> ScoreFileBytes(const std::vector<std::uint8_t>& Main,
                                                const std::vector<std::vector<std::uint8_t>>& Casts,
                                                TScoreTail Tail = {}, int FirstStream = 0) {
    TMemoryStream stream;
    WriteScoreMagic(stream);
    stream.WriteBuffer(Main.data(), std::int64_t(Main.size()));
    Tail.MainImageSize = std::int32_t(Main.size());
    for (std::size_t i = 0; i < Casts.size(); ++i) {
        stream.WriteBuffer(Casts[i].data(), std::int64_t(Casts[i].size()));
        Tail.CastImageSizes[std::size_t(FirstStream) + i] = std::int32_t(Casts[i].size());
    }
    WriteScoreTail(stream, Tail);
    return stream.Bytes();
}
