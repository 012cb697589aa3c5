#include "frameset/model/gifreadsave.h"

#include <algorithm>
#include <cctype>

#include "gif/gifblocks.h"
#include "gif/gifwrite.h"
#include "gif/lzwencode.h"
#include "gif/lzwpixels.h"
#include "toolkit/graphics/FilePaths.h"

namespace {

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
    WriteGifScreenDescriptor(Stream, ScreenWidth, ScreenHeight, 0, ColorTableSizeCode(GlobalColorCount));
    WriteGifColorTable(Stream, GlobalColorTable.data(), GlobalColorCount);
    if (FrameCount >= 2) WriteGifLoopBlock(Stream, 0);
}

void WriteFrameSetGifFrameHeader(TStream& Stream, int Index) {
    const TFrameEntry& entry = Frame(Index);
    const int n = FrameSizeCode(Index);
    TGifControl control;
    control.Transparent = WrittenTransparent(entry);
    control.TransparentIndex = entry.TransparentIndex;
    control.Delay = entry.Delay;
    // A single frame is a still picture, which waits for the user.
    if (FrameCount == 1)
        control.UserInput = true;
    else
        control.Disposal = entry.Disposal;
    WriteGifControl(Stream, control);
    WriteGifImageDescriptor(Stream, entry.Left, entry.Top, entry.Width, entry.Height, n, nullptr);
}

void WriteFrameSetGifImageData(TStream& Stream, int Index) {
    TFrameEntry& entry = Frame(Index);
    TLzwEncoder encoder(Stream, FrameSizeCode(Index));
    TDIBRectPixelSource pixels(*entry.Image, 0, 0, entry.Width - 1, entry.Height - 1);
    encoder.Encode(pixels);
}

void WriteFrameSetGifTrailer(TStream& Stream) {
    WriteGifClosing(Stream, "Palvenor 30x");
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
    TMemoryStream GifFileData;
    WriteFrameSetGifHeader(GifFileData);
    Progress.SetPosition(0);
    Progress.SetMax(FrameCount - 1);
    for (int i = 0; i < FrameCount; ++i) {
        WriteFrameSetGifFrameHeader(GifFileData, i);
        WriteFrameSetGifImageData(GifFileData, i);
        Progress.SetPosition(i);
    }
    WriteFrameSetGifTrailer(GifFileData);
    GifFileData.SaveToFile(FileName);
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
