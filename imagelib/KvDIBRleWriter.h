// The steps of the RLE encoders: an output buffer with a hard limit, the code writers that
// test the space left before each code, and the state machine that turns one row into runs
// and literals.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "imagelib/KvDIB.h"

// The output buffer of one encoder and its writing steps. A unit is one pixel byte for
// RLE8 and one byte holding two pixels for RLE4.
template <bool Rle4> class TRleWriter {
public:
    TRleWriter(std::uint8_t* Out, std::int64_t Limit, std::int64_t Width, const std::string& Converter)
        : FOut(Out), FLimit(Limit), FWidth(Width), FConverter(Converter) {}

    std::int64_t Written() const { return FWritten; }
    std::int64_t SpaceLeft() const { return FLimit - FWritten; }

    [[noreturn]] void CompressionFailed() const {
        throw EKvDIBCompressionFailed(FConverter + ": Compression Failed");
    }

    void WriteEncoded(std::uint8_t Value, std::int64_t Count) {
        if (SpaceLeft() < 6) CompressionFailed();
        Put(static_cast<std::uint8_t>(Pixels(Count)));
        Put(Value);
    }

    void WriteAbsolute(const std::uint8_t* Units, std::int64_t Length) {
        DIBAssert(Length > 0, FConverter + ": WriteAbsolute Error");
        const std::int64_t evenLength = (Length + 1) & ~std::int64_t(1);
        if (SpaceLeft() < evenLength + 6) CompressionFailed();
        // Too short for an absolute run, which needs at least 3 pixels.
        if (Length < (Rle4 ? 2 : 3)) {
            for (std::int64_t i = 0; i < Length; ++i)
                WriteEncoded(Units[i], 1);
            return;
        }
        Put(0);
        Put(static_cast<std::uint8_t>(Pixels(Length)));
        std::memcpy(FOut + FWritten, Units, static_cast<std::size_t>(Length));
        FWritten += Length;
        if (Length & 1) Put(0);
    }

    void WriteEndOfLine() {
        if (SpaceLeft() < 4) CompressionFailed();
        Put(0);
        Put(0);
        FRowPixels = 0;
    }

    void WriteEndOfBitmap() {
        if (SpaceLeft() < 2) CompressionFailed();
        Put(0);
        Put(1);
    }

private:
    void Put(std::uint8_t Byte) { FOut[FWritten++] = Byte; }

    // Pixels in Count units; an RLE4 code stops at the row's end, so the padding nibble
    // of an odd-width row is never counted.
    std::int64_t Pixels(std::int64_t Count) {
        if constexpr (!Rle4) return Count;
        const std::int64_t pixels = std::min(2 * Count, FWidth - FRowPixels);
        FRowPixels += pixels;
        return pixels;
    }

    std::uint8_t* FOut;
    std::int64_t FLimit;
    std::int64_t FWritten = 0;
    std::int64_t FWidth;
    std::int64_t FRowPixels = 0;
    std::string FConverter;
};

// One row as runs and literals. A literal is always the stretch of the row just before
// the current unit, so it is kept as a start and a length.
template <bool Rle4> void EncodeRow(TRleWriter<Rle4>& Out, const std::uint8_t* Units, std::int64_t Count) {
    constexpr std::int64_t maxLength = Rle4 ? 127 : 255;
    enum { sEmpty, sSingle, sRun, sLiteral } state = sEmpty;
    std::uint8_t value = 0;
    std::int64_t runLength = 0;
    std::int64_t literalStart = 0;
    std::int64_t literalLength = 0;
    for (std::int64_t i = 0; i < Count; ++i) {
        const std::uint8_t unit = Units[i];
        switch (state) {
        case sEmpty:
            value = unit;
            state = sSingle;
            break;
        case sSingle:
            if (unit == value) {
                runLength = 2;
                state = sRun;
            } else {
                literalStart = i - 1;
                literalLength = 2;
                state = sLiteral;
            }
            break;
        case sRun:
            if (unit == value && runLength < maxLength) {
                ++runLength;
            } else {
                Out.WriteEncoded(value, runLength);
                value = unit;
                state = sSingle;
            }
            break;
        case sLiteral:
            if (unit != Units[i - 1] && literalLength < maxLength) {
                ++literalLength;
            } else if (unit == Units[i - 1]) {
                // The repeat takes the literal's last unit into a run of two.
                Out.WriteAbsolute(Units + literalStart, literalLength - 1);
                value = unit;
                runLength = 2;
                state = sRun;
            } else {
                Out.WriteAbsolute(Units + literalStart, literalLength);
                value = unit;
                state = sSingle;
            }
            break;
        }
    }
    switch (state) {
    case sEmpty:
        break;
    case sSingle:
        Out.WriteEncoded(value, 1);
        break;
    case sRun:
        Out.WriteEncoded(value, runLength);
        break;
    case sLiteral:
        Out.WriteAbsolute(Units + literalStart, literalLength);
        break;
    }
    Out.WriteEndOfLine();
}
