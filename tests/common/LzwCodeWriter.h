// LZW code streams written code by code, for the decoder's tests and the GIF files built
// for the reader's.
#pragma once

#include <cstdint>
#include <vector>

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
