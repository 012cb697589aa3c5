// GIF files written byte by byte for the reader's tests: an LZW code packer, a plain
// encoder that sends every pixel as its own code, a run encoder that makes the most pixels
// of the fewest bits, and a block-by-block file builder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "frameset/gifreadframes.h"
#include "frameset/gifreadgif.h"

using TBytes = std::vector<std::uint8_t>;

// Packs codes least significant bit first, each with the width given.
class TCodeWriter {
public:
    void Put(int Code, int Width) {
        FBuffer |= std::uint64_t(Code) << FBits;
        FBits += Width;
        while (FBits >= 8) {
            FBytes.push_back(std::uint8_t(FBuffer));
            FBuffer >>= 8;
            FBits -= 8;
        }
    }
    TBytes Bytes() const {
        TBytes bytes = FBytes;
        if (FBits > 0) bytes.push_back(std::uint8_t(FBuffer));
        return bytes;
    }

private:
    TBytes FBytes;
    std::uint64_t FBuffer = 0;
    int FBits = 0;
};

// Every pixel as a single-byte code, with the code widths a decoder derives from the
// entries it adds; a clear code before the dictionary fills. Ends with the end code.
inline TBytes LzwPlain(const TBytes& Pixels, int MinimumCodeSize) {
    const int clear = 1 << MinimumCodeSize;
    TCodeWriter writer;
    int width = MinimumCodeSize + 1;
    int next = clear + 2;
    bool first = true;
    writer.Put(clear, width);
    for (std::uint8_t pixel : Pixels) {
        writer.Put(pixel, width);
        if (!first && next < 4096) {
            ++next;
            if (next >= (1 << width) && width < 12) ++width;
        }
        first = false;
        if (next >= 4000) {
            writer.Put(clear, width);
            width = MinimumCodeSize + 1;
            next = clear + 2;
            first = true;
        }
    }
    writer.Put(clear + 1, width);
    return writer.Bytes();
}

// Count pixels of one Value, each code one pixel longer than the one before (the code being
// defined), up to the longest string the dictionary holds, which is then sent again and
// again. Ends with the end code.
inline TBytes LzwRun(std::uint8_t Value, std::int64_t Count, int MinimumCodeSize) {
    const int clear = 1 << MinimumCodeSize;
    TCodeWriter writer;
    int width = MinimumCodeSize + 1;
    int next = clear + 2;
    writer.Put(clear, width);
    for (std::int64_t left = Count, sent = 0; left > 0; ++sent) {
        // Code c above the end code stands for c - clear pixels.
        int code = next < 4096 ? next : 4095;
        std::int64_t length = code - clear;
        if (sent == 0 || left == 1) {
            code = Value;
            length = 1;
        } else if (length > left) {
            code = clear + int(left);
            length = left;
        }
        writer.Put(code, width);
        left -= length;
        if (sent > 0 && next < 4096 && ++next >= (1 << width) && width < 12) ++width;
    }
    writer.Put(clear + 1, width);
    return writer.Bytes();
}

// The colour of entry i in the tables the builder writes.
inline TColor TableColor(int i, int Seed = 0) {
    return RGB(std::uint8_t(i + Seed), std::uint8_t(255 - i), std::uint8_t(i * 7 + Seed));
}

class TGifBuilder {
public:
    explicit TGifBuilder(const std::string& Signature = "GIF89a") { Add(Signature); }

    // Logical screen; Entries 0 writes no global table (else a power of two, 2..256).
    TGifBuilder& Screen(int Width, int Height, int Entries, int Seed = 0) {
        Word(Width);
        Word(Height);
        FBytes.push_back(Entries == 0 ? 0 : std::uint8_t(0x80 | SizeCode(Entries)));
        FBytes.push_back(0);
        FBytes.push_back(0);
        Table(Entries, Seed);
        return *this;
    }
    TGifBuilder& Control(std::uint8_t Packed, int Delay, std::uint8_t TransparentIndex) {
        Add({0x21, 0xF9, 0x04, Packed});
        Word(Delay);
        Add({TransparentIndex, 0x00});
        return *this;
    }
    // Image descriptor, local table, minimum code size and Data in sub-blocks of SubBlock.
    TGifBuilder& ImageData(int Left, int Top, int Width, int Height, const TBytes& Data, int MinimumCodeSize,
                           int LocalEntries = 0, bool Interlaced = false, std::size_t SubBlock = 255) {
        FBytes.push_back(0x2C);
        Word(Left);
        Word(Top);
        Word(Width);
        Word(Height);
        std::uint8_t packed = Interlaced ? 0x40 : 0;
        if (LocalEntries != 0) packed |= std::uint8_t(0x80 | SizeCode(LocalEntries));
        FBytes.push_back(packed);
        Table(LocalEntries, 100);
        FBytes.push_back(std::uint8_t(MinimumCodeSize));
        for (std::size_t at = 0; at < Data.size(); at += SubBlock) {
            const std::size_t n = std::min(SubBlock, Data.size() - at);
            FBytes.push_back(std::uint8_t(n));
            FBytes.insert(FBytes.end(), Data.begin() + std::ptrdiff_t(at),
                          Data.begin() + std::ptrdiff_t(at + n));
        }
        FBytes.push_back(0);
        return *this;
    }
    TGifBuilder& Image(int Left, int Top, int Width, int Height, const TBytes& Pixels,
                       int MinimumCodeSize = 8, int LocalEntries = 0, bool Interlaced = false) {
        return ImageData(Left, Top, Width, Height, LzwPlain(Pixels, MinimumCodeSize), MinimumCodeSize,
                         LocalEntries, Interlaced);
    }
    // An extension of the given sub-blocks (each 1 to 255 bytes) and the terminator.
    TGifBuilder& Extension(std::uint8_t Label, const std::vector<std::string>& SubBlocks) {
        Add({0x21, Label});
        for (const std::string& block : SubBlocks) {
            FBytes.push_back(std::uint8_t(block.size()));
            Add(block);
        }
        FBytes.push_back(0);
        return *this;
    }
    // A comment in sub-blocks of 255 bytes and the rest.
    TGifBuilder& Comment(const std::string& Text) {
        std::vector<std::string> blocks;
        for (std::size_t at = 0; at < Text.size(); at += 255)
            blocks.push_back(Text.substr(at, 255));
        return Extension(0xFE, blocks);
    }
    TGifBuilder& Loop() { return Extension(0xFF, {"NETSCAPE2.0", std::string("\x01\x00\x00", 3)}); }
    TGifBuilder& Trailer() {
        FBytes.push_back(0x3B);
        return *this;
    }
    TGifBuilder& Raw(const TBytes& Bytes) {
        FBytes.insert(FBytes.end(), Bytes.begin(), Bytes.end());
        return *this;
    }
    const TBytes& Bytes() const { return FBytes; }

private:
    static int SizeCode(int Entries) {
        int code = 0;
        while ((2 << code) < Entries)
            ++code;
        return code;
    }
    void Add(const std::string& Text) { FBytes.insert(FBytes.end(), Text.begin(), Text.end()); }
    void Add(std::initializer_list<std::uint8_t> Bytes) { FBytes.insert(FBytes.end(), Bytes); }
    void Word(int Value) {
        FBytes.push_back(std::uint8_t(Value));
        FBytes.push_back(std::uint8_t(Value >> 8));
    }
    void Table(int Entries, int Seed) {
        for (int i = 0; i < Entries; ++i) {
            const TColor c = TableColor(i, Seed);
            Add({GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    }
    TBytes FBytes;
};

// Pixels of a Width x Height picture with values Value(x, y).
template <class F> TBytes MakePixels(int Width, int Height, F Value) {
    TBytes pixels;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            pixels.push_back(std::uint8_t(Value(x, y)));
    return pixels;
}

// The pixels of frame Index in row order.
inline TBytes FramePixels(int Index) {
    TKvDIB& image = *FrameList[std::size_t(Index)].Image;
    TBytes pixels;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            pixels.push_back(std::uint8_t(image.GetPixels(x, y)));
    return pixels;
}

// Rows of frame Index that hold any value but Value, read straight from the storage.
inline int RowsNotAll(int Index, std::uint8_t Value) {
    TKvDIB& image = *FrameList[std::size_t(Index)].Image;
    const TBytes all(std::size_t(image.Width()), Value);
    int rows = 0;
    for (int y = 0; y < image.Height(); ++y)
        rows += std::memcmp(DIBScanLine(image.InternalDIB->Infos, y), all.data(), all.size()) != 0;
    return rows;
}

// Reads a GIF into the frame list the way the windows do, without them.
inline int LoadGif(const TBytes& Gif, int& InsertIndex, std::int64_t StorageLimit = MaxDIBStorage) {
    TGifReadContext context;
    context.AddGif = [](int Index) { InsertFrame(Index, DecodedFrame, *DecodeImage); };
    context.StorageLimit = StorageLimit;
    return ReadGifBytes(Gif.data(), Gif.size(), InsertIndex, context);
}
