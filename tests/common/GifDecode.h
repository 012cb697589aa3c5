// Independent readers for the GIF streams the tests write: giflib for whole files, and a
// small code reader that follows the decoder's code-width rule.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

struct TDecodedFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool HasLocalTable = false;
    std::vector<std::uint32_t> Colors; // the table in effect, 0x00RRGGBB
    TBytes Pixels;
    bool HasControl = false; // a graphic control block precedes the image
    int Disposal = 0;
    bool UserInput = false;
    int Delay = 0;
    int TransparentIndex = -1;
};

struct TDecodedGif {
    int Width = 0, Height = 0;
    int GlobalColorCount = 0;
    std::vector<std::uint32_t> GlobalColors;
    bool HasLoopBlock = false;
    int LoopCount = -1;
    std::vector<std::string> Comments;
    std::vector<TDecodedFrame> Frames;
};

namespace gifdecode_detail {
struct TReadState {
    const TBytes* Data;
    std::size_t Pos;
};
inline int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int size) {
    auto* state = static_cast<TReadState*>(gif->UserData);
    const std::size_t left = state->Data->size() - state->Pos;
    const std::size_t n = std::min<std::size_t>(left, std::size_t(size));
    std::memcpy(buffer, state->Data->data() + state->Pos, n);
    state->Pos += n;
    return int(n);
}
inline std::vector<std::uint32_t> TableOf(const ColorMapObject* map) {
    std::vector<std::uint32_t> colors;
    if (!map) return colors;
    for (int i = 0; i < map->ColorCount; ++i)
        colors.push_back((std::uint32_t(map->Colors[i].Red) << 16) | (map->Colors[i].Green << 8) |
                         map->Colors[i].Blue);
    return colors;
}
} // namespace gifdecode_detail

// Decodes a whole GIF with giflib; throws when giflib refuses it.
inline TDecodedGif DecodeGif(const TBytes& Data) {
    gifdecode_detail::TReadState state{&Data, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&state, gifdecode_detail::ReadFromMemory, &error);
    if (!gif) throw std::runtime_error("DGifOpen failed");
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        throw std::runtime_error("DGifSlurp failed");
    }
    TDecodedGif result;
    result.Width = gif->SWidth;
    result.Height = gif->SHeight;
    result.GlobalColorCount = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
    result.GlobalColors = gifdecode_detail::TableOf(gif->SColorMap);
    for (int b = 0; b < gif->ExtensionBlockCount; ++b) {
        const ExtensionBlock& block = gif->ExtensionBlocks[b];
        if (block.Function == COMMENT_EXT_FUNC_CODE)
            result.Comments.emplace_back(reinterpret_cast<const char*>(block.Bytes), block.ByteCount);
    }
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        TDecodedFrame frame;
        frame.Left = image.ImageDesc.Left;
        frame.Top = image.ImageDesc.Top;
        frame.Width = image.ImageDesc.Width;
        frame.Height = image.ImageDesc.Height;
        frame.HasLocalTable = image.ImageDesc.ColorMap != nullptr;
        frame.Colors =
            gifdecode_detail::TableOf(frame.HasLocalTable ? image.ImageDesc.ColorMap : gif->SColorMap);
        frame.Pixels.assign(image.RasterBits, image.RasterBits + std::size_t(frame.Width) * frame.Height);
        GraphicsControlBlock gcb;
        frame.HasControl = DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK;
        if (frame.HasControl) {
            frame.Disposal = gcb.DisposalMode;
            frame.UserInput = gcb.UserInputFlag;
            frame.Delay = gcb.DelayTime;
            frame.TransparentIndex = gcb.TransparentColor;
        }
        for (int b = 0; b < image.ExtensionBlockCount; ++b) {
            const ExtensionBlock& block = image.ExtensionBlocks[b];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && b + 1 < image.ExtensionBlockCount) {
                const ExtensionBlock& sub = image.ExtensionBlocks[b + 1];
                result.HasLoopBlock = true;
                if (sub.ByteCount >= 3) result.LoopCount = sub.Bytes[1] | (sub.Bytes[2] << 8);
            }
        }
        result.Frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return result;
}

// A minimal GIF around raw image data (minimum code size byte, sub-blocks, terminator):
// a global table of 2^(n+1) greys and one image of Width x Height.
inline TBytes WrapImageData(int SizeCode, int Width, int Height, const TBytes& ImageData) {
    TBytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&](int v) {
        gif.push_back(std::uint8_t(v));
        gif.push_back(std::uint8_t(v >> 8));
    };
    word(Width);
    word(Height);
    gif.push_back(std::uint8_t(0x80 + 16 * SizeCode + SizeCode));
    gif.push_back(0);
    gif.push_back(0);
    for (int i = 0; i < (1 << (SizeCode + 1)); ++i)
        for (int c = 0; c < 3; ++c)
            gif.push_back(std::uint8_t(i));
    gif.push_back(0x2C);
    word(0);
    word(0);
    word(Width);
    word(Height);
    gif.push_back(0);
    gif.insert(gif.end(), ImageData.begin(), ImageData.end());
    gif.push_back(0x3B);
    return gif;
}

// The sub-block lengths of image data starting at Pos (after the minimum code size byte),
// up to and including the terminator 0.
inline std::vector<int> SubBlockLengths(const TBytes& Data, std::size_t Pos) {
    std::vector<int> lengths;
    while (Pos < Data.size()) {
        const int length = Data[Pos];
        lengths.push_back(length);
        if (length == 0) break;
        Pos += 1 + length;
    }
    return lengths;
}

struct TLzwCode {
    int Code;
    int Width;
};

// Reads the codes of image data (from the minimum code size byte on) the way a decoder
// does: the width grows when the decoder's next free code reaches 2^width.
inline std::vector<TLzwCode> ReadLzwCodes(const TBytes& Data, std::size_t Pos) {
    const int minSize = Data.at(Pos++);
    TBytes bytes;
    while (Data.at(Pos) != 0) {
        const int length = Data[Pos];
        bytes.insert(bytes.end(), Data.begin() + Pos + 1, Data.begin() + Pos + 1 + length);
        Pos += 1 + length;
    }
    const int clear = 1 << minSize, end = clear + 1;
    int width = minSize + 1, next = clear + 2;
    bool afterClear = true;
    std::vector<TLzwCode> codes;
    std::size_t bit = 0;
    while (bit + width <= bytes.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            if (bytes[bit / 8] & (1 << (bit % 8))) code |= 1 << i;
        codes.push_back({code, width});
        if (code == end) break;
        if (code == clear) {
            width = minSize + 1;
            next = clear + 2;
            afterClear = true;
            continue;
        }
        if (!afterClear && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12) ++width;
        }
        afterClear = false;
    }
    return codes;
}
