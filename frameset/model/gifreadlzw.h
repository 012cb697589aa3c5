// The GIF reader's LZW decoding into DecodeImage, the picture from which each image enters
// the frame list.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gif/lzwdecode.h"

// Decodes Length bytes of LZW data (the image's sub-blocks joined) with Decoder into
// DecodeImage, with the size, colour table (LocalColorTable when the image has its own,
// else the global one), minimum code size and transparent index of DecodedFrame, rows
// placed as Interlaced says; sets DecodedFrame.TransparentPoint. Data that ends early, or a
// code that cannot stand where it stands, ends the image; data running past the last row
// raises the bitmap's pixel-position error.
void DecodeLzwImage(const std::uint8_t* Data, std::size_t Length, bool Interlaced,
                    const std::array<TColor, 256>& LocalColorTable, TLzwDecoder& Decoder);
