// The LZW decoder of the GIF reader: turns one image's gathered data into DecodeImage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Entry n - 1 holds 2^n - 1: the mask of an n-bit code.
constexpr std::array<std::int32_t, 12> CodeMasks = {1, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095};

// The largest LZW minimum code size the decoder takes: 12 would leave no room in the
// 4096-entry dictionary for the clear and end codes.
constexpr int MaxLzwMinimumCodeSize = 11;

// Whether Length bytes of LZW data of the given minimum code size could stand for as many
// as Pixels pixels at all, however its codes were chosen.
bool LzwDataCanFill(std::int64_t Length, int MinimumCodeSize, std::int64_t Pixels);

// Decodes Length bytes of LZW data (the image's sub-blocks joined) into DecodeImage, with
// the size, colour table, minimum code size and transparent index of DecodedFrame, rows
// placed as Interlaced says; sets DecodedFrame.TransparentPoint. Data that ends early, or a
// code that cannot stand where it stands, ends the image; data running past the last row
// raises the bitmap's pixel-position error.
void DecodeLzwImage(const std::uint8_t* Data, std::size_t Length, bool Interlaced);
