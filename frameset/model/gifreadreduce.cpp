#include "frameset/model/gifreadreduce.h"

#include <algorithm>
#include <vector>

#include "imagelib/KvDIBHalftone.h"
#include "toolkit/graphics/Exceptions.h"

namespace {

// Frees the quantiser's buffers however the reduction ends.
class TQuantizerScope {
public:
    explicit TQuantizerScope(TColorQuantizer& Quantizer) : FQuantizer(Quantizer) {
        AllocQuantizer(Quantizer);
    }
    ~TQuantizerScope() { FreeQuantizer(FQuantizer); }
    TQuantizerScope(const TQuantizerScope&) = delete;
    TQuantizerScope& operator=(const TQuantizerScope&) = delete;

private:
    TColorQuantizer& FQuantizer;
};

void MakeTrueColor(TKvDIB& Image) {
    if (Image.GetBitCount() != 24) Image.SetPixelFormat(kvpf24Bit);
}

// An uncompressed 8-bit picture, as every frame read from a GIF or reduced before is: the
// reduction reads its pixels through its colour table rather than from a 24-bit copy.
bool HasIndexRows(TKvDIB& Image) {
    const TKvDIBInfos& infos = Image.InternalDIB->Infos;
    return infos.Bits != nullptr && infos.Header.biBitCount == 8 && infos.Header.biCompression == BI_RGB;
}

TColor EntryColor(const RGBQUAD& Entry) {
    return RGB(Entry.rgbRed, Entry.rgbGreen, Entry.rgbBlue);
}

// The transparent colour of a frame: the colour at its TransparentPoint, when the frame is
// transparent and the point lies on its picture. Every pixel of that colour (Mask, row by row
// from the top) is transparent, every other pixel opaque. A reduction keeps the two apart:
// the transparent pixels are not reduced with the others but all take one palette entry of
// their own, which no opaque pixel takes.
struct TFrameKey {
    bool Keyed = false;
    TColor Color = 0;
    std::vector<bool> Mask;
};

bool HasKeyPoint(TFrameEntry& Entry) {
    return Entry.Transparent && KeyPointInside(*Entry.Image, Entry.TransparentPoint);
}

// The key of Entry, read from Picture, its picture at 8 bits per pixel (HasIndexRows) or at 24.
TFrameKey KeyOf(TFrameEntry& Entry, TKvDIB& Picture) {
    TFrameKey key;
    if (!HasKeyPoint(Entry)) return key;
    key.Keyed = true;
    const TKvDIBInfos& infos = Picture.InternalDIB->Infos;
    const int width = Picture.GetWidth(), height = Picture.GetHeight();
    key.Mask.resize(std::size_t(width) * std::size_t(height));
    std::size_t i = 0;
    if (HasIndexRows(Picture)) {
        // Entries of one colour are one colour: the key is a colour, not an index.
        key.Color = EntryColor(
            infos.ColorTable[Picture.GetPixels(Entry.TransparentPoint.X, Entry.TransparentPoint.Y)]);
        bool keyed[256];
        for (int e = 0; e < 256; ++e)
            keyed[e] = EntryColor(infos.ColorTable[e]) == key.Color;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* row = DIBScanLine(infos, y);
            for (int x = 0; x < width; ++x)
                key.Mask[i++] = keyed[row[x]];
        }
        return key;
    }
    key.Color = TColor(Picture.GetPixels(Entry.TransparentPoint.X, Entry.TransparentPoint.Y));
    const std::uint8_t red = GetRValue(key.Color), green = GetGValue(key.Color), blue = GetBValue(key.Color);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = DIBScanLine(infos, y);
        for (int x = 0; x < width; ++x, p += 3)
            key.Mask[i++] = p[0] == blue && p[1] == green && p[2] == red;
    }
    return key;
}

// Whether an 8-bit picture is laid out as a new blank picture of its size: its reduction can
// then stay in its own storage and come out as the new picture the 24-bit route makes.
bool HasBlankLayout(TKvDIB& Image) {
    const BITMAPINFOHEADER& h = Image.InternalDIB->Infos.Header;
    return h.biSize == 40 && h.biHeight > 0 && h.biPlanes == 1 && h.biSizeImage == 0 &&
           h.biXPelsPerMeter == 0 && h.biYPelsPerMeter == 0;
}

// The reduction of an 8-bit picture of blank layout within its own storage: each pixel takes
// the entry of its colour's cell, the padding of the rows is cleared, and the colour table
// holds the palette and black after it.
void MapIndexesInPlace(TKvDIB& Image, TColorQuantizer& Quantizer) {
    Image.UniqueDIB();
    TKvDIBInfos& infos = Image.InternalDIB->Infos;
    std::uint8_t entryOf[256];
    for (int e = 0; e < 256; ++e) {
        const RGBQUAD& c = infos.ColorTable[e];
        entryOf[e] = Quantizer.CellIndexMap[ColorCellNumber(c.rgbRed, c.rgbGreen, c.rgbBlue)];
    }
    const int width = Image.GetWidth(), height = Image.GetHeight();
    const std::int64_t stride = DIBRowLength(width, 8);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = DIBScanLine(infos, y);
        for (int x = 0; x < width; ++x)
            row[x] = entryOf[row[x]];
        std::fill(row + width, row + stride, 0);
    }
    std::fill(std::begin(infos.ColorTable), std::end(infos.ColorTable), RGBQUAD{});
    for (int e = 0; e < Quantizer.EntryCount; ++e) {
        const RGBQUAD& entry = Quantizer.Palette[e];
        infos.ColorTable[e] = RGBQUAD{entry.rgbBlue, entry.rgbGreen, entry.rgbRed, 0};
    }
    infos.Header.biClrUsed = std::uint32_t(Quantizer.EntryCount);
    infos.Header.biClrImportant = 0;
    Image.InternalDIB->UpdatePalette();
    Image.UpdatePaletteModified();
}

// The first frame's key that has one serves as the colour of the shared transparent entry.
const TFrameKey* FirstKey(const std::vector<TFrameKey>& Keys) {
    const auto first = std::find_if(Keys.begin(), Keys.end(), [](const TFrameKey& k) { return k.Keyed; });
    return first == Keys.end() ? nullptr : &*first;
}

// The transparent pixels of an 8-bit picture take the palette index Index.
void PutKeyIndex(TFrameEntry& Entry, const TFrameKey& Key, int Index) {
    TKvDIB& image = *Entry.Image;
    image.UniqueDIB();
    const int width = image.GetWidth(), height = image.GetHeight();
    std::size_t i = 0;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = DIBScanLine(image.InternalDIB->Infos, y);
        for (int x = 0; x < width; ++x, ++i)
            if (Key.Mask[i]) row[x] = std::uint8_t(Index);
    }
    Entry.TransparentIndex = std::uint8_t(Index);
}

// Color, or the nearest colour along blue that no entry of Palette holds, so that the views,
// which leave out a frame's transparent colour wherever it stands, leave out only the
// transparent entry. Count is at most 255 entries, which take at most 255 of the 256 blues.
RGBQUAD DistinctEntry(TColor Color, const RGBQUAD* Palette, int Count) {
    const std::uint8_t red = GetRValue(Color), green = GetGValue(Color);
    auto taken = [&](int Blue) {
        return std::any_of(Palette, Palette + Count, [&](const RGBQUAD& e) {
            return e.rgbRed == red && e.rgbGreen == green && e.rgbBlue == Blue;
        });
    };
    const int blue = GetBValue(Color);
    for (int distance = 0; distance < 256; ++distance)
        for (int candidate : {blue - distance, blue + distance})
            if (candidate >= 0 && candidate <= 255 && !taken(candidate))
                return RGBQUAD{std::uint8_t(candidate), green, red, 0};
    return RGBQUAD{std::uint8_t(blue), green, red, 0};
}

// The global table is frame 0's palette, which every frame now shares; entries past the
// palette are what the picture's colour table holds there.
void TakeGlobalTable(int Count) {
    TKvDIB& first = *FrameList[0].Image;
    GlobalColorCount = Count;
    for (int j = 0; j < Count; ++j)
        GlobalColorTable[std::size_t(j)] = first.GetColors(j);
}

// The diffusion never chooses an entry past the halftone colours: the first of them becomes
// the transparent entry when a frame has a transparent colour.
void Dither(const TFrameSetProgress& Progress) {
    std::vector<TFrameKey> keys(static_cast<std::size_t>(FrameCount));
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        if (!HasKeyPoint(entry)) continue;
        if (HasIndexRows(*entry.Image)) {
            keys[std::size_t(i)] = KeyOf(entry, *entry.Image);
            continue;
        }
        TKvDIB trueColor;
        trueColor.Assign(entry.Image.get());
        MakeTrueColor(trueColor);
        keys[std::size_t(i)] = KeyOf(entry, trueColor);
    }
    const TFrameKey* firstKey = FirstKey(keys);
    const int keyIndex = HalftoneColorCount;
    const RGBQUAD keyEntry =
        firstKey != nullptr ? DistinctEntry(firstKey->Color, HalftoneColors, HalftoneColorCount) : RGBQUAD{};
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        entry.Image->SetPixelFormat(kvpfHalfTone);
        if (firstKey != nullptr) {
            entry.Image->SetPaletteSize(keyIndex + 1);
            entry.Image->SetColors(keyIndex, RGB(keyEntry.rgbRed, keyEntry.rgbGreen, keyEntry.rgbBlue));
        }
        if (keys[std::size_t(i)].Keyed) PutKeyIndex(entry, keys[std::size_t(i)], keyIndex);
        entry.BitsPerPixel = 8;
        entry.LocalColorCount = 0;
        Progress.SetPosition(i);
    }
    TakeGlobalTable(256);
}

// Takes a frame's transparent pixels back out of the histogram: they are not reduced with
// the other colours.
void RemoveKeyPixels(const TFrameKey& Key, TColorQuantizer& Quantizer) {
    const auto count = std::uint32_t(std::count(Key.Mask.begin(), Key.Mask.end(), true));
    // The sums wrap, so adding the count's negative takes the pixels out exactly.
    AddColorToCells(Quantizer.Cells.get(), GetRValue(Key.Color), GetGValue(Key.Color), GetBValue(Key.Color),
                    0u - count);
}

// A palette of 2^Depth entries leaves no room for the transparent entry. Such a palette comes
// from a full split tree, whose leaves 2k and 2k + 1 are siblings: the pair with the fewest
// pixels becomes one entry, the mean of the two weighted by their pixels, as if their range
// had not been split. Counts holds the histogram's pixel counts by cell number.
void MergeLightestLeaves(TColorQuantizer& Quantizer, const std::vector<std::int32_t>& Counts) {
    const int entries = Quantizer.EntryCount;
    std::uint8_t* map = Quantizer.CellIndexMap.get();
    std::vector<std::int64_t> weight(std::size_t(entries), 0);
    for (int k = 0; k < ColorCellCount; ++k)
        if (Counts[std::size_t(k)] > 0) weight[map[k]] += Counts[std::size_t(k)];
    int pair = 0;
    for (int e = 2; e + 1 < entries; e += 2)
        if (weight[std::size_t(e)] + weight[std::size_t(e + 1)] <
            weight[std::size_t(pair)] + weight[std::size_t(pair + 1)])
            pair = e;
    const std::int64_t wa = weight[std::size_t(pair)], wb = weight[std::size_t(pair + 1)];
    const std::int64_t total = std::max<std::int64_t>(wa + wb, 1);
    auto mean = [&](std::uint8_t a, std::uint8_t b) {
        return std::uint8_t((a * wa + b * wb + total / 2) / total);
    };
    RGBQUAD& merged = Quantizer.Palette[pair];
    const RGBQUAD& other = Quantizer.Palette[pair + 1];
    merged = RGBQUAD{mean(merged.rgbBlue, other.rgbBlue), mean(merged.rgbGreen, other.rgbGreen),
                     mean(merged.rgbRed, other.rgbRed), 0};
    std::copy(Quantizer.Palette + pair + 2, Quantizer.Palette + entries, Quantizer.Palette + pair + 1);
    Quantizer.EntryCount = entries - 1;
    for (int k = 0; k < ColorCellCount; ++k)
        if (map[k] > pair) --map[k];
}

// The transparent entry, after the others, in Color or a colour near it; returns its index.
int AddKeyEntry(TColorQuantizer& Quantizer, const std::vector<std::int32_t>& Counts, TColor Color) {
    if (Quantizer.EntryCount == 1 << Quantizer.Depth) MergeLightestLeaves(Quantizer, Counts);
    const int index = Quantizer.EntryCount++;
    Quantizer.Palette[index] = DistinctEntry(Color, Quantizer.Palette, index);
    return index;
}

void Quantize(int Depth, const TFrameSetProgress& Progress) {
    TColorQuantizer quantizer;
    TQuantizerScope scope(quantizer);
    // One histogram over all frames gives the one palette they share.
    std::vector<TFrameKey> keys(static_cast<std::size_t>(FrameCount));
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        AddFrameToQuantizer(*entry.Image, quantizer);
        keys[std::size_t(i)] = KeyOf(entry, *entry.Image);
        if (keys[std::size_t(i)].Keyed) RemoveKeyPixels(keys[std::size_t(i)], quantizer);
        Progress.SetPosition(i);
    }
    quantizer.Depth = Depth;
    const TFrameKey* firstKey = FirstKey(keys);
    // The build turns the histogram into the palette; a merge needs its pixel counts.
    std::vector<std::int32_t> counts;
    if (firstKey != nullptr)
        for (int k = 0; k < ColorCellCount; ++k)
            counts.push_back(quantizer.Cells[std::size_t(k)].Count);
    BuildQuantizerPalette(quantizer);
    const int keyIndex = firstKey != nullptr ? AddKeyEntry(quantizer, counts, firstKey->Color) : -1;
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = FrameList[std::size_t(i)];
        MapFrameToQuantizerPalette(entry, quantizer);
        if (keys[std::size_t(i)].Keyed) PutKeyIndex(entry, keys[std::size_t(i)], keyIndex);
        entry.LocalColorCount = 0;
    }
    // The table is a power of two from 8 entries up.
    int bits = 3;
    while ((1 << bits) < quantizer.EntryCount)
        ++bits;
    for (int i = 0; i < FrameCount; ++i)
        FrameList[std::size_t(i)].BitsPerPixel = std::uint8_t(bits);
    TakeGlobalTable(1 << bits);
}

} // namespace

int ReductionDepth(int Item) {
    if (Item < 0 || Item >= ColorItemCount) throw ERangeError(SRangeError);
    return Item == DitherItem ? 0 : 9 - Item;
}

void AddFrameToQuantizer(TKvDIB& Image, TColorQuantizer& Quantizer) {
    if (!HasIndexRows(Image)) {
        MakeTrueColor(Image);
        AddImageToQuantizer(Image, Quantizer);
        return;
    }
    // Each entry's pixels are counted, then added as that many pixels of its colour.
    std::uint32_t pixels[256] = {};
    const TKvDIBInfos& infos = Image.InternalDIB->Infos;
    const int width = Image.GetWidth(), height = Image.GetHeight();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = DIBScanLine(infos, y);
        for (int x = 0; x < width; ++x)
            ++pixels[row[x]];
    }
    for (int e = 0; e < 256; ++e)
        if (pixels[e] != 0) {
            const RGBQUAD& c = infos.ColorTable[e];
            AddColorToCells(Quantizer.Cells.get(), c.rgbRed, c.rgbGreen, c.rgbBlue, pixels[e]);
        }
}

void MapFrameToQuantizerPalette(TFrameEntry& Entry, TColorQuantizer& Quantizer) {
    TKvDIB& image = *Entry.Image;
    if (HasIndexRows(image) && HasBlankLayout(image) && Quantizer.EntryCount > 0) {
        MapIndexesInPlace(image, Quantizer);
        return;
    }
    MakeTrueColor(image);
    MapToQuantizerPalette(image, Quantizer);
}

void ReduceFrameColors(int Item, const TFrameSetProgress& Progress) {
    const int depth = ReductionDepth(Item);
    if (FrameCount == 0) return;
    Progress.SetMax(FrameCount - 1);
    if (depth == 0)
        Dither(Progress);
    else
        Quantize(depth, Progress);
    Progress.SetPosition(0);
}
