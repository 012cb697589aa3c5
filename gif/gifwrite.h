// The editor's GIF89a writers: header with the global colour table and looping block, frame
// header, LZW image data and trailer, all appended to one memory stream.
#pragma once

#include <cstdint>

#include "toolkit/graphics/Streams.h"
#include "toolkit/graphics/Types.h"

class TKvDIB;

// The table size code n of a palette of PaletteSize (1..256) colours: the table holds
// 2^(n+1) entries and the LZW minimum code size is n + 1.
int ColorTableSizeCode(int PaletteSize);

// The first frame's colour table, against which later frames decide whether they need a
// local table.
struct TGifGlobalPalette {
    TColor Colors[256] = {};
    std::int32_t Count = 0;
};

// The output settings of the main window that the writers follow.
struct TGifOutputSettings {
    // Times an animation plays; 0 loops endlessly.
    int LoopCount = 0;
    // One palette for all frames ("パレット共通").
    bool CommonPalette = true;
    // Item index of the colour choice: -1 or 0 halftone, 1..6 quantised to 256..8 colours.
    int ColorChoice = 1;
};

// The writers of one file: the header fills GifGlobalPalette, which every frame header after
// it reads.
class TGifWriter {
public:
    // Mode 0 writes an animated GIF, any other a still GIF.
    void WriteGifHeader(TKvDIB& Dib, TStream& Stream, int Mode, const TGifOutputSettings& Settings);
    // TransparentIndex -1 means none; Delay in hundredths of a second.
    void WriteGifFrameHeader(TKvDIB& Dib, TStream& Stream, int TransparentIndex, int Delay, int Left, int Top,
                             int Width, int Height, int Mode, bool SizeOptimised,
                             const TGifOutputSettings& Settings) const;
    // Codes the pixels of the rectangle with inclusive bounds.
    static void WriteGifImageData(TKvDIB& Dib, TStream& Stream, int Left, int Top, int Right, int Bottom);
    static void WriteGifTrailer(TStream& Stream);

    TGifGlobalPalette GifGlobalPalette;

private:
    bool NeedsLocalTable(TKvDIB& Dib, int PaletteSize) const;
};
