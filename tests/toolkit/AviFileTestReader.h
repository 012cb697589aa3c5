// Reading back the bytes of written AVI files in tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct TAviBytes {
    std::vector<std::uint8_t> Data;

    static TAviBytes Load(const std::string& FileName) {
        std::ifstream in(FileName, std::ios::binary);
        return TAviBytes{std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {})};
    }
    std::uint32_t U16(std::size_t Offset) const { return Data.at(Offset) | Data.at(Offset + 1) << 8; }
    std::int16_t S16(std::size_t Offset) const { return static_cast<std::int16_t>(U16(Offset)); }
    std::uint32_t U32(std::size_t Offset) const { return U16(Offset) | U16(Offset + 2) << 16; }
    std::string Code(std::size_t Offset) const {
        return std::string(Data.begin() + static_cast<std::ptrdiff_t>(Offset),
                           Data.begin() + static_cast<std::ptrdiff_t>(Offset + 4));
    }
    std::vector<std::uint8_t> Bytes(std::size_t Offset, std::size_t Count) const {
        return std::vector<std::uint8_t>(Data.begin() + static_cast<std::ptrdiff_t>(Offset),
                                         Data.begin() + static_cast<std::ptrdiff_t>(Offset + Count));
    }
};
