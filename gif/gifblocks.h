// The blocks of a GIF89a file as both editors write them, each in one piece: the logical
// screen, colour tables, the looping block, the graphic control block, the image descriptor
// and the closing comment; and the control block read back by the frame-set reader.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/graphics/Streams.h"
#include "toolkit/graphics/Types.h"

// The first byte of every extension, and the labels behind it.
constexpr std::uint8_t GifExtensionIntroducer = 0x21;
constexpr std::uint8_t GifControlLabel = 0xF9;
constexpr std::uint8_t GifCommentLabel = 0xFE;
constexpr std::uint8_t GifApplicationLabel = 0xFF;
constexpr std::uint8_t GifImageSeparator = 0x2C;
constexpr std::uint8_t GifTrailer = 0x3B;

// Flags of the screen and image descriptors' packed bytes.
constexpr std::uint8_t GifColorTableFlag = 0x80;
constexpr std::uint8_t GifInterlaceFlag = 0x40;

// The disposal methods: what becomes of a frame's rectangle once its wait has passed.
constexpr int GifDisposalUnspecified = 0;
constexpr int GifDisposalKeep = 1;
constexpr int GifDisposalBackground = 2;
constexpr int GifDisposalPrevious = 3;

// What a graphic control block says of the image behind it.
struct TGifControl {
    int Disposal = GifDisposalUnspecified; // 0..7
    // The viewer waits for the user ("user input flag").
    bool UserInput = false;
    bool Transparent = false;
    int Delay = 0; // hundredths of a second
    // Written whether or not Transparent is set.
    std::uint8_t TransparentIndex = 0;
};

// "GIF89a" and the logical screen descriptor of a file with a global colour table of
// 2^(SizeCode + 1) entries: screen size, packed byte, background index 0, aspect ratio 0.
void WriteGifScreenDescriptor(TStream& Stream, int Width, int Height, int ColorResolution, int SizeCode);
// Count entries of 3 bytes: red, green, blue.
void WriteGifColorTable(TStream& Stream, const TColor* Colors, int Count);
// The "NETSCAPE2.0" application extension; LoopCount 0 loops endlessly.
void WriteGifLoopBlock(TStream& Stream, int LoopCount);
// A wait beyond the field's 16 bits is held at its largest value rather than wrapped.
void WriteGifControl(TStream& Stream, const TGifControl& Control);
// Control of the body that follows the control label: block size, packed byte, delay,
// transparent index and terminator, 6 bytes; the size and the terminator are not looked at.
TGifControl ReadGifControl(const std::uint8_t* Body);
// The image descriptor, the local colour table of 2^(SizeCode + 1) entries when LocalTable is
// given, and the LZW minimum code size SizeCode + 1.
void WriteGifImageDescriptor(TStream& Stream, int Left, int Top, int Width, int Height, int SizeCode,
                             const TColor* LocalTable);
// The comment extension with Comment (at most 255 bytes) as its one sub-block, then the
// trailer: the last bytes of every file.
void WriteGifClosing(TStream& Stream, const std::string& Comment);
