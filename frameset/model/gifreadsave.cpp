#include "frameset/model/gifreadsave.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "gif/gifwrite.h"
#include "gif/lzwencode.h"
#include "gif/lzwpixels.h"
#include "frameset/model/gifreadgif.h"
#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/FilePaths.h"

namespace {

// The bytes of one block, written to the stream in one piece.
class TBlockBytes {
public:
    TBlockBytes& Byte(int Value) {
        FBytes.push_back(std::uint8_t(Value));
        return *this;
    }
    TBlockBytes& Word(int Value) { return Byte(Value).Byte(Value >> 8); }
    // Positions and sizes have 16 bits in a GIF; cut to them the file would be wrong.
    TBlockBytes& Dimension(int Value) {
        if (Value < 0 || Value > 0xFFFF) throw EInvalidGraphic("GIF: Image Size is Out of Range");
        return Word(Value);
    }
    TBlockBytes& Text(const char* Value, int Length) {
        FBytes.insert(FBytes.end(), Value, Value + Length);
        return *this;
    }
    void WriteTo(TStream& Stream) const { Stream.WriteBuffer(FBytes.data(), std::int64_t(FBytes.size())); }

private:
    std::vector<std::uint8_t> FBytes;
};

TFrameEntry& Frame(int Index) {
    return FrameList[std::size_t(Index)];
}

// The size code of a frame's own picture: its minimum code size, and the start of every
// table of its encoder.
int FrameSizeCode(int Index) {
    return ColorTableSizeCode(Frame(Index).Image->GetPaletteSize());
}

// A transparent frame without a transparent point has no pixel of its transparent colour
// and is shown opaque; its old index would now stand for a colour of the reduced palette.
bool WrittenTransparent(const TFrameEntry& Entry) {
    return Entry.Transparent && Entry.TransparentPoint.X >= 0;
}

} // namespace

void WriteFrameSetGifHeader(TStream& Stream) {
    TBlockBytes header;
    header.Text("GIF89a", 6).Dimension(ScreenWidth).Dimension(ScreenHeight);
    header.Byte(0x80 + ColorTableSizeCode(GlobalColorCount)).Byte(0).Byte(0);
    for (int i = 0; i < GlobalColorCount; ++i) {
        const TColor color = GlobalColorTable[std::size_t(i)];
        header.Byte(GetRValue(color)).Byte(GetGValue(color)).Byte(GetBValue(color));
    }
    if (FrameCount >= 2)
        header.Byte(0x21).Byte(0xFF).Byte(11).Text("NETSCAPE2.0", 11).Byte(3).Byte(1).Word(0).Byte(0);
    header.WriteTo(Stream);
}

void WriteFrameSetGifFrameHeader(TStream& Stream, int Index) {
    const TFrameEntry& entry = Frame(Index);
    const int n = FrameSizeCode(Index);
    int control = WrittenTransparent(entry) ? 1 : 0;
    control += FrameCount == 1 ? 0x02 : (entry.Disposal & 7) << 2;
    TBlockBytes header;
    // Waits beyond the field's 16 bits are held at its largest value rather than wrapped.
    header.Byte(0x21).Byte(0xF9).Byte(4).Byte(control).Word(std::clamp(entry.Delay, 0, 0xFFFF));
    header.Byte(entry.TransparentIndex).Byte(0);
    header.Byte(0x2C)
        .Dimension(entry.Left)
        .Dimension(entry.Top)
        .Dimension(entry.Width)
        .Dimension(entry.Height);
    header.Byte(n).Byte(n + 1);
    header.WriteTo(Stream);
}

void WriteFrameSetGifImageData(TStream& Stream, int Index) {
    TFrameEntry& entry = Frame(Index);
    TLzwEncoder encoder(Stream, FrameSizeCode(Index));
    TDIBRectPixelSource pixels(*entry.Image, 0, 0, entry.Width - 1, entry.Height - 1);
    encoder.Encode(pixels);
}

void WriteFrameSetGifTrailer(TStream& Stream) {
    // The comment extension with its one sub-block, its terminator, then the trailer.
    static const std::uint8_t trailer[] = {0x21, 0xFE, 12,  'P', 'a', 'l', 'v', 'e', 'n',
                                           'o',  'r',  ' ', '3', '0', 'x', 0,   0x3B};
    Stream.WriteBuffer(trailer, sizeof(trailer));
}

void TakeTransparentIndexes() {
    for (int i = 0; i < FrameCount; ++i) {
        TFrameEntry& entry = Frame(i);
        if (WrittenTransparent(entry))
            entry.TransparentIndex =
                std::uint8_t(entry.Image->GetPixels(entry.TransparentPoint.X, entry.TransparentPoint.Y));
    }
}

void SaveFrameSetGif(const std::string& FileName, const TFrameSetProgress& Progress) {
    TakeTransparentIndexes();
    TGifFileDataScope scope;
    WriteFrameSetGifHeader(*GifFileData);
    Progress.SetPosition(0);
    Progress.SetMax(FrameCount - 1);
    for (int i = 0; i < FrameCount; ++i) {
        WriteFrameSetGifFrameHeader(*GifFileData, i);
        WriteFrameSetGifImageData(*GifFileData, i);
        Progress.SetPosition(i);
    }
    WriteFrameSetGifTrailer(*GifFileData);
    GifFileData->SaveToFile(FileName);
}

std::string NumberedBaseName(const std::string& FileName) {
    // Only the name itself is searched: a folder called "x.bmp..." stays as it is.
    const std::size_t nameStart = FileNameStart(FileName);
    std::string lower = FileName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::size_t at = lower.find(".bmp", nameStart);
    if (at == std::string::npos) return FileName;
    return FileName.substr(0, at) + FileName.substr(at + 4);
}

std::string NumberedFileName(const std::string& Base, int Number) {
    std::string digits = std::to_string(Number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return Base + digits + ".bmp";
}

void NumberedRange(int SelectionTop, int SelectionBottom, int& First, int& Last) {
    if (SelectionTop == SelectionBottom) {
        First = 0;
        Last = FrameCount - 1;
    } else {
        First = std::max(SelectionTop - 1, 0);
        Last = std::min(SelectionBottom - 1, FrameCount - 1);
    }
}

void ForEachNumberedFrame(const std::string& FileName, int First, int Last,
                          const std::function<void(int Frame, const std::string& Name)>& Save,
                          const TFrameSetProgress& Progress) {
    const std::string base = NumberedBaseName(FileName);
    struct TBackToStart {
        const TFrameSetProgress& Progress;
        ~TBackToStart() { Progress.SetPosition(0); }
    } backToStart{Progress};
    Progress.SetPosition(0);
    Progress.SetMax(Last - First);
    for (int frame = First; frame <= Last; ++frame) {
        Save(frame, NumberedFileName(base, frame - First));
        Progress.SetPosition(frame - First);
    }
}

void SaveFramePictures(const std::string& FileName, int First, int Last, const TFrameSetProgress& Progress) {
    ForEachNumberedFrame(
        FileName, First, Last,
        [](int Index, const std::string& Name) { Frame(Index).Image->SaveToFile(Name); }, Progress);
}
