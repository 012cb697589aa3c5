#include "frameset/model/gifreadsettings.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

constexpr int CustomColorCount = 16;

// Which palette indices a search accepts.
using TIndexSet = std::array<bool, 256>;

// The palette indices of a frame's picture row by row. An 8-bit row is read in place; a
// 1- or 4-bit row is unpacked. Any other form goes through the bitmap's pixel access,
// which reports it as the library does.
class TIndexRows {
public:
    explicit TIndexRows(TKvDIB& Picture)
        : FPicture(Picture), FWidth(Picture.Width()), FBitCount(Picture.GetBitCount()),
          FPlain(Picture.InternalDIB->Infos.Header.biCompression == BI_RGB) {
        if (!FPlain || FBitCount != 8) FRow.resize(std::size_t(FWidth));
    }

    const std::uint8_t* Row(int Y) {
        const std::uint8_t* stored = FPlain ? DIBScanLine(FPicture.InternalDIB->Infos, Y) : nullptr;
        if (FPlain && FBitCount == 8) return stored;
        for (int x = 0; x < FWidth; ++x) {
            const auto at = std::size_t(x);
            if (FPlain && FBitCount == 4)
                FRow[at] = x % 2 == 0 ? stored[x / 2] >> 4 : stored[x / 2] & 0x0F;
            else if (FPlain && FBitCount == 1)
                FRow[at] = (stored[x / 8] >> (7 - x % 8)) & 1;
            else
                FRow[at] = std::uint8_t(FPicture.GetPixels(x, Y));
        }
        return FRow.data();
    }

private:
    TKvDIB& FPicture;
    int FWidth;
    int FBitCount;
    bool FPlain;
    std::vector<std::uint8_t> FRow;
};

// The last row of Picture with a pixel in Accepted, and in it the rightmost (Rightmost) or
// leftmost such pixel. Searched from the bottom: the first row found is the answer.
bool FindInLastRow(TKvDIB& Picture, const TIndexSet& Accepted, bool Rightmost, TPoint& Found) {
    TIndexRows rows(Picture);
    const int width = Picture.Width();
    for (int y = Picture.Height() - 1; y >= 0; --y) {
        const std::uint8_t* row = rows.Row(y);
        for (int i = 0; i < width; ++i) {
            const int x = Rightmost ? width - 1 - i : i;
            if (Accepted[row[x]]) {
                Found = TPoint{x, y};
                return true;
            }
        }
    }
    return false;
}

bool PaletteFits(const TFrameEntry& Frame, int PaletteSize) {
    return Frame.Image->GetPaletteSize() <= PaletteSize;
}

} // namespace

void SetFramesField(int First, int Last, TFrameField Field, int Value) {
    for (int i = First; i <= Last; ++i) {
        TFrameEntry& frame = FrameList[std::size_t(i)];
        switch (Field) {
        case TFrameField::Left:
            frame.Left = Value;
            break;
        case TFrameField::Top:
            frame.Top = Value;
            break;
        case TFrameField::Delay:
            frame.Delay = Value;
            break;
        case TFrameField::Disposal:
            frame.Disposal = std::uint8_t(Value);
            break;
        }
    }
}

bool FramePointAt(const TFrameEntry& Frame, int X, int Y, TPoint& Pixel) {
    const int x = X - Frame.Left;
    const int y = Y - Frame.Top;
    if (x < 0 || x >= Frame.Width || y < 0 || y >= Frame.Height) return false;
    Pixel = TPoint{x, y};
    return true;
}

void SetTransparentColor(int First, int Last, std::uint8_t Index, TColor Color, int PaletteSize,
                         const TFrameStep& Step) {
    for (int i = First; i <= Last; ++i) {
        TFrameEntry& frame = FrameList[std::size_t(i)];
        if (PaletteFits(frame, PaletteSize)) {
            // The colour may stand at several indices of this frame's palette.
            TIndexSet accepted{};
            for (std::size_t j = 0; j < accepted.size(); ++j)
                accepted[j] = frame.Image->GetColors(int(j)) == Color;
            TPoint found;
            if (FindInLastRow(*frame.Image, accepted, true, found)) {
                frame.TransparentPoint = found;
                frame.TransparentIndex = Index;
            }
        }
        Step();
    }
}

void SetTransparentIndex(int First, int Last, std::uint8_t Index, int PaletteSize, const TFrameStep& Step) {
    TIndexSet accepted{};
    accepted[Index] = true;
    for (int i = First; i <= Last; ++i) {
        TFrameEntry& frame = FrameList[std::size_t(i)];
        if (PaletteFits(frame, PaletteSize)) {
            frame.TransparentIndex = Index;
            TPoint found;
            if (FindInLastRow(*frame.Image, accepted, false, found))
                frame.TransparentPoint = found;
            else
                frame.TransparentPoint.X = NoTransparentPoint;
        }
        Step();
    }
}

void ExchangePaletteColor(int First, int Last, std::uint8_t Index, TColor From, TColor To, int PaletteSize) {
    for (int i = First; i <= Last; ++i) {
        TFrameEntry& frame = FrameList[std::size_t(i)];
        if (PaletteFits(frame, PaletteSize) && frame.Image->GetColors(Index) == From)
            frame.Image->SetColors(Index, To);
    }
}

std::string CustomColorText(int Slot, TColor Color) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06X", unsigned(Color) & 0xFFFFFFu);
    return std::string("Color") + char('A' + Slot) + "=" + digits;
}

std::uint8_t NextCustomColorSlot(std::uint8_t Slot) {
    return std::uint8_t((Slot + 1) % CustomColorCount);
}
