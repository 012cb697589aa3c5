#include <gtest/gtest.h>

#include <random>

#include "gif/lzwencode.h"
#include "imagelib/KvDIB.h"
#include "common/GifDecode.h"

namespace {

// Pixels handed out in rows of a fixed length.
class TByteSource : public TLzwPixelSource {
public:
    TByteSource(const TBytes& Pixels, int RowLength) : FPixels(Pixels), FRowLength(RowLength) {}
    bool NextRow(const std::uint8_t*& Row, std::int32_t& Count) override {
        if (FPos >= FPixels.size()) return false;
        Row = FPixels.data() + FPos;
        Count = std::int32_t(std::min<std::size_t>(FRowLength, FPixels.size() - FPos));
        FPos += std::size_t(Count);
        return true;
    }

private:
    const TBytes& FPixels;
    std::size_t FRowLength;
    std::size_t FPos = 0;
};

// Image data as a writer puts it after the image descriptor: minimum code size, sub-blocks,
// terminator.
TBytes EncodePixels(const TBytes& Pixels, int SizeCode, int RowLength = 0) {
    TMemoryStream stream;
    const std::uint8_t minSize = std::uint8_t(SizeCode + 1);
    stream.WriteBuffer(&minSize, 1);
    TLzwEncoder encoder(stream, SizeCode);
    TByteSource source(Pixels, RowLength > 0 ? RowLength : int(Pixels.size()));
    encoder.Encode(source);
    return stream.Bytes();
}

TBytes RandomPixels(std::size_t Count, int Colors, unsigned Seed) {
    std::mt19937 random(Seed);
    TBytes pixels(Count);
    for (auto& p : pixels)
        p = std::uint8_t(random() % unsigned(Colors));
    return pixels;
}

// Runs of random length, as in pictures with flat areas.
TBytes RunPixels(std::size_t Count, int Colors, unsigned Seed) {
    std::mt19937 random(Seed);
    TBytes pixels;
    while (pixels.size() < Count)
        pixels.insert(pixels.end(), 1 + random() % 12, std::uint8_t(random() % unsigned(Colors)));
    pixels.resize(Count);
    return pixels;
}

// The encoder as plainly as it can be written: a directly indexed table of every string
// followed by every pixel, one code put at a time, bit by bit into sub-blocks.
TBytes ReferenceEncode(const TBytes& Pixels, int SizeCode) {
    const int clear = 1 << (SizeCode + 1);
    std::vector<std::uint16_t> table(4096 * 256);
    int next = 0, width = 0;
    auto reset = [&] {
        std::fill(table.begin(), table.end(), 0);
        next = clear + 2;
        width = SizeCode + 2;
    };
    TBytes out{std::uint8_t(SizeCode + 1)}, block;
    std::uint32_t bits = 0;
    int count = 0;
    auto flush = [&] {
        out.push_back(std::uint8_t(block.size()));
        out.insert(out.end(), block.begin(), block.end());
        block.clear();
    };
    auto putByte = [&] {
        block.push_back(std::uint8_t(bits));
        bits >>= 8;
        count -= 8;
        if (block.size() == 255) flush();
    };
    auto put = [&](int code) {
        if ((1 << width) < next) ++width;
        bits |= std::uint32_t(code) << count;
        count += width;
        while (count >= 8)
            putByte();
    };
    reset();
    put(clear);
    int prefix = Pixels[0];
    for (std::size_t i = 1; i < Pixels.size(); ++i) {
        const int pixel = Pixels[i];
        if (const int code = table[std::size_t(prefix) * 256 + std::size_t(pixel)]) {
            prefix = code;
            continue;
        }
        put(prefix);
        if (next < 4095) {
            table[std::size_t(prefix) * 256 + std::size_t(pixel)] = std::uint16_t(next++);
        } else {
            put(clear);
            reset();
        }
        prefix = pixel;
    }
    put(prefix);
    put(clear + 1);
    if (count != 0) {
        const int pending = count;
        put(0);
        if (pending + width < 8) putByte();
    }
    if (!block.empty()) flush();
    out.push_back(0);
    return out;
}

void ExpectDecodesTo(const TBytes& Data, int SizeCode, int Width, int Height, const TBytes& Pixels) {
    const TDecodedGif gif = DecodeGif(WrapImageData(SizeCode, Width, Height, Data));
    ASSERT_EQ(gif.Frames.size(), 1u);
    EXPECT_EQ(gif.Frames[0].Pixels, Pixels);
}

} // namespace

TEST(LzwEncoder, OnePixelOfTwoColoursIsClearPixelEndInTwoBytes) {
    // Codes 4, 1, 5 at 3 bits, lowest first: 0x14C -> 0x4C and one pending bit, which goes out
    // as a byte of its own after the zero code, since that completes nothing.
    EXPECT_EQ(EncodePixels({1}, 1), (TBytes{2, 2, 0x4C, 0x01, 0}));
    EXPECT_EQ(EncodePixels({0}, 1), (TBytes{2, 2, 0x44, 0x01, 0}));
    ExpectDecodesTo(EncodePixels({1}, 1), 1, 1, 1, {1});
}

TEST(LzwEncoder, ZeroBitsPendingAfterACompletedByteAreDropped) {
    // 2 colours, pixels 0 0 1 0: clear 4, then 0, 0, 1 at 3 bits while entries 6, 7 and 8 are
    // made; code 9 is next, so the last 0 and the end 5 take 4 bits. 20 bits, lowest first:
    // 0x50204, two bytes and the end code's 4 bits pending; the 4-bit zero code completes
    // the third byte exactly, and nothing is left to write after it.
    EXPECT_EQ(EncodePixels({0, 0, 1, 0}, 1), (TBytes{2, 3, 0x04, 0x02, 0x05, 0}));
    ExpectDecodesTo(EncodePixels({0, 0, 1, 0}, 1), 1, 4, 1, {0, 0, 1, 0});

    // 256 colours: clear 256, pixel 7, end 257 at 9 bits = 27 bits, 3 bytes and 3 pending; the
    // zero code completes the 4th byte and its 4 remaining zero bits are dropped.
    const TBytes data = EncodePixels({7}, 7);
    ASSERT_EQ(data.size(), 1u + 1 + 4 + 1);
    EXPECT_EQ(data[1], 4);
    EXPECT_EQ(data[2], 0x00); // clear: 1 0000 0000, low byte
    EXPECT_EQ(data[3], 0x0F); // clear's top bit, then 7 << 1
    EXPECT_EQ(data[4], 0x04); // 7's top bits 0, end 1 0000 0001 from bit 2
    EXPECT_EQ(data[5], 0x04);
    EXPECT_EQ(data.back(), 0);
    ExpectDecodesTo(data, 7, 1, 1, {7});
}

TEST(LzwEncoder, CodesGrowAsADecoderExpectsAndDecodeBack) {
    for (int sizeCode = 1; sizeCode <= 7; ++sizeCode) {
        const int colors = 1 << (sizeCode + 1);
        const TBytes noisy = RandomPixels(97 * 61, colors, unsigned(sizeCode));
        ExpectDecodesTo(EncodePixels(noisy, sizeCode, 97), sizeCode, 97, 61, noisy);
        const TBytes flat = RunPixels(200 * 150, colors, unsigned(sizeCode) + 100);
        ExpectDecodesTo(EncodePixels(flat, sizeCode, 200), sizeCode, 200, 150, flat);
    }
}

TEST(LzwEncoder, PutsTheCodesOfThePlainDirectTable) {
    // Short strings, runs and long runs, past several table resets, at every code size; the
    // rows switch between the look-up orders as their strings grow and shrink.
    for (int sizeCode = 1; sizeCode <= 7; ++sizeCode) {
        const int colors = 1 << (sizeCode + 1);
        TBytes mixed = RandomPixels(30000, colors, unsigned(sizeCode) + 40);
        const TBytes runs = RunPixels(60000, colors, unsigned(sizeCode) + 50);
        mixed.insert(mixed.end(), runs.begin(), runs.end());
        mixed.insert(mixed.end(), 20000, std::uint8_t(colors - 1));
        const TBytes noise = RandomPixels(30000, colors, unsigned(sizeCode) + 60);
        mixed.insert(mixed.end(), noise.begin(), noise.end());
        ASSERT_EQ(EncodePixels(mixed, sizeCode, 320), ReferenceEncode(mixed, sizeCode)) << sizeCode;
    }
    for (const TBytes& tiny : {TBytes{0}, TBytes{5, 5}, TBytes{1, 2, 1, 2, 1, 2, 1}})
        EXPECT_EQ(EncodePixels(tiny, 7), ReferenceEncode(tiny, 7));
}

TEST(LzwEncoder, RowBoundariesDoNotChangeTheCode) {
    const TBytes pixels = RunPixels(5000, 16, 7);
    const TBytes whole = EncodePixels(pixels, 3);
    EXPECT_EQ(EncodePixels(pixels, 3, 1), whole);
    EXPECT_EQ(EncodePixels(pixels, 3, 37), whole);
}

TEST(LzwEncoder, SubBlocksHold255BytesAndNoEmptyBlockEndsTheData) {
    // Find inputs whose data comes to exactly 255 and 256 bytes.
    bool found255 = false, found256 = false;
    for (std::size_t count = 150; count < 400 && !(found255 && found256); ++count) {
        const TBytes pixels = RandomPixels(count, 256, 11);
        const TBytes data = EncodePixels(pixels, 7);
        const std::vector<int> blocks = SubBlockLengths(data, 1);
        int total = 0;
        for (int b : blocks)
            total += b;
        if (total == 255) {
            found255 = true;
            EXPECT_EQ(blocks, (std::vector<int>{255, 0}));
            ExpectDecodesTo(data, 7, int(count), 1, pixels);
        } else if (total == 256) {
            found256 = true;
            EXPECT_EQ(blocks, (std::vector<int>{255, 1, 0}));
            ExpectDecodesTo(data, 7, int(count), 1, pixels);
        }
    }
    EXPECT_TRUE(found255);
    EXPECT_TRUE(found256);
}

TEST(LzwEncoder, PendingByteCanCloseASubBlock) {
    // With 4 colours the end sequence often writes the pending bits as a byte of their own;
    // among these inputs some end with it as the 255th byte of a sub-block.
    int closing = 0;
    for (std::size_t count = 200; count < 1400; ++count) {
        const TBytes pixels = RandomPixels(count, 4, 5);
        const TBytes data = EncodePixels(pixels, 1);
        const std::vector<int> blocks = SubBlockLengths(data, 1);
        ASSERT_EQ(blocks.back(), 0);
        for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
            ASSERT_GT(blocks[i], 0);
        if (blocks.size() >= 2 && blocks[blocks.size() - 2] == 255) {
            ++closing;
            ExpectDecodesTo(data, 1, int(count), 1, pixels);
        }
    }
    EXPECT_GT(closing, 0);
}

TEST(LzwEncoder, TableFullAt4094ClearsAtWidth12AndRestartsNarrow) {
    const TBytes pixels = RandomPixels(60000, 4, 3);
    const TBytes data = EncodePixels(pixels, 1, 300);
    const std::vector<TLzwCode> codes = ReadLzwCodes(data, 0);
    ASSERT_EQ(codes.front().Code, 4);
    // Codes 6..4094 are assigned, one code put before each, then one more before the clear.
    const std::size_t clearAt = 1 + 4089 + 1;
    ASSERT_GT(codes.size(), clearAt + 1);
    for (std::size_t i = 1; i < clearAt; ++i)
        ASSERT_NE(codes[i].Code, 4) << i;
    EXPECT_EQ(codes[clearAt].Code, 4);
    EXPECT_EQ(codes[clearAt].Width, 12);
    EXPECT_EQ(codes[clearAt - 1].Width, 12);
    EXPECT_EQ(codes[clearAt + 1].Width, 3);
    EXPECT_EQ(codes.back().Code, 5);
    ExpectDecodesTo(data, 1, 300, 200, pixels);

    // A picture of one colour never fills the table: 256 colours, 1,000,000 pixels.
    const TBytes flat(1000000, 200);
    ExpectDecodesTo(EncodePixels(flat, 7, 1000), 7, 1000, 1000, flat);
}

TEST(LzwEncoder, RefusesAnIndexPastTheColourTableAndSizesWithoutATable) {
    TMemoryStream stream;
    EXPECT_THROW(TLzwEncoder(stream, 0), ERangeError);
    EXPECT_THROW(TLzwEncoder(stream, 8), ERangeError);
    TLzwEncoder encoder(stream, 1);
    const TBytes pixels = {0, 3, 4};
    TByteSource source(pixels, 3);
    EXPECT_THROW(encoder.Encode(source), EKvDIBPaletteIndexRange);
}

TEST(LzwEncoder, EarlierEncodersLeaveNoTraceInLaterOnes) {
    const TBytes small = RunPixels(3000, 64, 21);
    const TBytes before = EncodePixels(small, 5);
    // Fills and resets the table several times, then one that fails half-way.
    EncodePixels(RandomPixels(40000, 64, 22), 5);
    {
        TMemoryStream stream;
        TLzwEncoder encoder(stream, 1);
        TBytes pixels = RandomPixels(2000, 4, 23);
        pixels.push_back(9);
        TByteSource source(pixels, 100);
        EXPECT_THROW(encoder.Encode(source), EKvDIBPaletteIndexRange);
    }
    EXPECT_EQ(EncodePixels(small, 5), before);
}
