// The LZW decoder on code streams written code by code: code widths, the code being
// defined, the full dictionary, and what malformed streams do.
#include <gtest/gtest.h>

#include "common/LzwCodeWriter.h"
#include "gif/lzwdecode.h"
#include "toolkit/graphics/Exceptions.h"

namespace {

struct TCode {
    int Code;
    int Width;
};

class LzwDecoderTest : public ::testing::Test {
protected:
    static TBytes Pack(const std::vector<TCode>& Codes) {
        TCodeWriter writer;
        for (const TCode& c : Codes)
            writer.Put(c.Code, c.Width);
        return writer.Bytes();
    }
    // Decodes the data into a blank Width x Height picture; returns its pixels.
    static TBytes Decode(const TBytes& Data, int MinimumCodeSize, int Width, int Height) {
        TBytes pixels(std::size_t(Width) * std::size_t(Height), 0);
        const TLzwRows rows{pixels.data(), Width, pixels.data() + pixels.size()};
        TLzwDecoder decoder;
        decoder.Decode(Data.data(), Data.size(), MinimumCodeSize, rows, Width, Height, false);
        return pixels;
    }
};

TEST_F(LzwDecoderTest, MinimumCodeSizeTwoGrowsToFourBitsAtEight) {
    // Clear 4, end 5, first free 6, 3-bit codes; after entry 7 the codes take 4 bits.
    const TBytes data = Pack({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {6, 4}, {7, 4}, {5, 4}});
    EXPECT_EQ((TBytes{1, 2, 3, 1, 2, 2, 3}), Decode(data, 2, 7, 1));
}

TEST_F(LzwDecoderTest, TheCodeBeingDefinedRepeatsTheFirstByte) {
    // 6 right after 2 is "2 2"; 8 right after 1 is "1 1"; then 7 is "2 2 1".
    const TBytes data = Pack({{4, 3}, {2, 3}, {6, 3}, {1, 3}, {8, 4}, {7, 4}, {5, 4}});
    const TBytes expected{2, 2, 2, 1, 1, 1, 2, 2, 1};
    // Also with rows narrower than the strings, which then run on into the next rows.
    for (int width : {9, 3, 2, 1}) {
        const int height = (9 + width - 1) / width;
        TBytes pixels = Decode(data, 2, width, height);
        pixels.resize(9);
        EXPECT_EQ(expected, pixels) << width;
    }
}

TEST_F(LzwDecoderTest, AFullDictionaryKeepsTwelveBitsAndAddsNothing) {
    // Literals after a clear code define entries 258.. 4095 (entry 258 + k = p[k] p[k + 1]);
    // then the codes stay 12 bits wide and every entry keeps its string.
    auto p = [](int i) { return std::uint8_t(i * 7 + i / 256); };
    std::vector<TCode> codes{{256, 9}};
    TBytes expected;
    int width = 9;
    int next = 258;
    for (int i = 0; i <= 3838; ++i) {
        codes.push_back({p(i), width});
        expected.push_back(p(i));
        if (i > 0) {
            ++next;
            if (next >= (1 << width) && width < 12) ++width;
        }
    }
    ASSERT_EQ(4096, next);
    ASSERT_EQ(12, width);
    for (int code : {4095, 258, 33, 4000, 4095}) {
        codes.push_back({code, 12});
        if (code < 256) {
            expected.push_back(std::uint8_t(code));
        } else {
            expected.push_back(p(code - 258));
            expected.push_back(p(code - 257));
        }
    }
    codes.push_back({257, 12});
    EXPECT_EQ(expected, Decode(Pack(codes), 8, int(expected.size()), 1));
}

TEST_F(LzwDecoderTest, LongStringsAcrossManyRows) {
    // A run of one value makes ever longer strings, each written across several rows.
    std::vector<TCode> codes{{4, 3}, {3, 3}};
    int width = 3;
    int total = 1;
    for (int next = 6, length = 2; next < 40; ++next, ++length) {
        codes.push_back({next, width});
        total += length;
        if (next + 1 >= (1 << width)) ++width;
    }
    codes.push_back({5, width});
    EXPECT_EQ(TBytes(std::size_t(total), 3), Decode(Pack(codes), 2, 5, total / 5));
    EXPECT_EQ(0, total % 5);
}

TEST_F(LzwDecoderTest, DataWithoutClearCodeDecodesAsIfOneCameFirst) {
    // 1 adds no entry; 6, the code being defined, is "1 1"; 2 adds "1 1 2" as 7, after which
    // the codes take 4 bits.
    EXPECT_EQ((TBytes{1, 1, 1, 2, 1, 1, 2}), Decode(Pack({{1, 3}, {6, 3}, {2, 3}, {7, 4}, {5, 4}}), 2, 7, 1));
}

TEST_F(LzwDecoderTest, ACodeAboveTheNextFreeOneEndsTheImage) {
    EXPECT_EQ((TBytes{1, 0, 0}), Decode(Pack({{4, 3}, {1, 3}, {7, 3}, {1, 3}, {5, 3}}), 2, 3, 1));
    EXPECT_EQ((TBytes{1, 2, 3, 0, 0}),
              Decode(Pack({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {9, 4}, {1, 4}, {5, 4}}), 2, 5, 1));
    // Right after a clear code, any code without a string ends it too.
    EXPECT_EQ((TBytes{1, 0, 0, 0}), Decode(Pack({{4, 3}, {1, 3}, {4, 3}, {6, 3}, {1, 3}}), 2, 4, 1));
}

TEST_F(LzwDecoderTest, ASecondClearCodeOpensTheSequenceWithNoString) {
    // The code being defined on top of no string ends the image ...
    EXPECT_EQ((TBytes{0, 0}), Decode(Pack({{4, 3}, {4, 3}, {6, 3}, {1, 3}}), 2, 2, 1));
    // ... while a known code defines an entry of its first byte alone.
    EXPECT_EQ((TBytes{1, 1, 2}), Decode(Pack({{4, 3}, {4, 3}, {1, 3}, {6, 3}, {2, 4}, {5, 4}}), 2, 3, 1));
}

TEST_F(LzwDecoderTest, DataEndingEarlyKeepsWhatWasDecoded) {
    // Data that fills the picture exactly and ends without an end code: 0C 12 is, lowest bit
    // first, clear 4, then 1, 0, 1 at 3 bits and 1 at 4 bits (entry 7 made the width grow).
    // The last code ends on the data's last bit and is decoded; no code is made of the bytes
    // past it, so no pixel is written below the last row.
    EXPECT_EQ((TBytes{1, 0, 1, 1}), Decode({0x0C, 0x12}, 2, 4, 1));
    // Fewer pixels than the picture holds: the rest stays blank.
    EXPECT_EQ((TBytes{1, 2, 0, 0, 0, 0}), Decode(Pack({{4, 3}, {1, 3}, {2, 3}, {5, 3}}), 2, 6, 1));
}

TEST_F(LzwDecoderTest, SmallMinimumCodeSizesDecodeByTheSameRules) {
    // Size 1: clear 2, end 3, 2-bit codes growing to 3 bits once entry 4 exists.
    EXPECT_EQ((TBytes{1, 0, 1, 0}), Decode(Pack({{2, 2}, {1, 2}, {0, 2}, {4, 3}, {3, 3}}), 1, 4, 1));
    // Size 0: clear 1, end 2 and 1-bit codes; only code 0 has a string.
    EXPECT_EQ((TBytes{0, 0, 0}), Decode(Pack({{1, 1}, {0, 1}, {0, 1}, {2, 2}}), 0, 3, 1));
}

TEST_F(LzwDecoderTest, LargeMinimumCodeSizes) {
    // Size 9: clear 512, 10-bit codes; single bytes below 256 decode ...
    EXPECT_EQ((TBytes{5, 200}), Decode(Pack({{512, 10}, {5, 10}, {200, 10}, {513, 10}}), 9, 2, 1));
    // ... one above 255 does not fit a pixel.
    EXPECT_THROW(Decode(Pack({{512, 10}, {300, 10}}), 9, 2, 1), ERangeError);
    // Size 11 leaves 2046 free codes.
    EXPECT_EQ((TBytes{7, 9}), Decode(Pack({{2048, 12}, {7, 12}, {9, 12}, {2049, 12}}), 11, 2, 1));
}

} // namespace
