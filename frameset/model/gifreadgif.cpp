// The GIF reader: signature, logical screen, and the block scan, which walks extensions and
// images by their sub-blocks.
#include "frameset/model/gifreadgif.h"

#include <cstring>
#include <vector>

#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadlzw.h"
#include "gif/gifblocks.h"

namespace {

void Report(const std::function<void(int)>& Event, std::int64_t Value) {
    if (Event) Event(static_cast<int>(Value));
}

} // namespace

TGifReader::TGifReader(const std::uint8_t* Data, std::size_t Size) {
    GifFileData.WriteBuffer(Data, static_cast<std::int64_t>(Size));
}

void TGifReader::ReadFile(const std::string& FileName) {
    TFileStream file(FileName, fmOpenRead);
    std::int64_t got = 0;
    do {
        got = file.Read(ReadBuffer.data(), std::int64_t(ReadBuffer.size()));
        GifFileData.WriteBuffer(ReadBuffer.data(), got);
    } while (got == std::int64_t(ReadBuffer.size()));
}

// Reads Count bytes (at most 256) into ReadBuffer; false on a short read.
bool TGifReader::ReadBytes(std::int64_t Count) {
    return GifFileData.Read(ReadBuffer.data(), Count) == Count;
}

std::int32_t TGifReader::Word(std::size_t At) const {
    return ReadBuffer[At] | ReadBuffer[At + 1] << 8;
}

// Count entries of 3 bytes (red, green, blue) into Table; false on a short read.
bool TGifReader::ReadColorTable(std::array<TColor, 256>& Table, int Count) {
    for (int i = 0; i < Count; ++i) {
        if (!ReadBytes(3)) return false;
        Table[static_cast<std::size_t>(i)] = RGB(ReadBuffer[0], ReadBuffer[1], ReadBuffer[2]);
    }
    return true;
}

// Data sub-blocks up to their terminator; true when cut short. Length counts their bytes.
bool TGifReader::PassSubBlocks(std::int64_t& Length) {
    Length = 0;
    for (;;) {
        if (!ReadBytes(1)) return true;
        if (ReadBuffer[0] == 0) return false;
        Length += ReadBuffer[0];
        if (!ReadBytes(ReadBuffer[0])) return true;
    }
}

bool TGifReader::SkipExtension() {
    std::int64_t length = 0;
    return PassSubBlocks(length);
}

// Passes over Count bytes; true when fewer are left.
bool TGifReader::SkipBytes(std::int64_t Count) {
    if (GifFileData.Remaining() < Count) return true;
    GifFileData.Seek(Count, soCurrent);
    return false;
}

// An image that no graphic control extension precedes is not read: its descriptor, colour
// table, minimum code size and data sub-blocks are passed over; true when cut short.
bool TGifReader::SkipImage() {
    if (!ReadBytes(9) || SkipBytes(3 * ColorTableEntries(ReadBuffer[8])) || !ReadBytes(1)) return true;
    return SkipExtension();
}

// The body of a graphic control extension (block size, packed byte, delay, transparent
// index, terminator) into DecodedFrame; true when cut short.
bool TGifReader::ReadControlBody() {
    if (!ReadBytes(6)) return true;
    const TGifControl control = ReadGifControl(ReadBuffer.data());
    DecodedFrame.Disposal = static_cast<std::uint8_t>(control.Disposal);
    DecodedFrame.Transparent = control.Transparent;
    DecodedFrame.Delay = control.Delay;
    DecodedFrame.TransparentIndex = control.TransparentIndex;
    return false;
}

// Between a graphic control extension and its image other extensions may stand (a looping
// block, a comment); they are passed over, and a further control extension takes the place
// of the first. True unless an image separator follows.
bool TGifReader::SeekImageSeparator() {
    for (;;) {
        if (!ReadBytes(1)) return true;
        if (ReadBuffer[0] == GifImageSeparator) return false;
        if (ReadBuffer[0] != GifExtensionIntroducer || !ReadBytes(1)) return true;
        if (ReadBuffer[0] == GifControlLabel ? ReadControlBody() : SkipExtension()) return true;
    }
}

int ColorTableEntries(std::uint8_t Packed) {
    return (Packed & GifColorTableFlag) != 0 ? 2 << (Packed & 7) : 0;
}

bool TGifReader::CheckGifSignature() {
    return !ReadBytes(6) || std::memcmp(ReadBuffer.data(), "GIF89a", 6) != 0;
}

bool TGifReader::ReadScreenDescriptor() {
    if (!ReadBytes(7)) return true;
    SourceScreenWidth = Word(0);
    SourceScreenHeight = Word(2);
    GlobalColorCount = ColorTableEntries(ReadBuffer[4]);
    return !ReadColorTable(GlobalColorTable, GlobalColorCount);
}

bool TGifReader::SkipCommentExtension() {
    return SkipExtension();
}

bool TGifReader::SkipApplicationExtension() {
    return SkipExtension();
}

void TGifReader::DecodeImageData(bool Interlaced) {
    const std::uint8_t* file = GifFileData.Memory();
    const std::int64_t end = GifFileData.GetSize();
    FGatheredData.clear();
    // Up to the terminator; the bounds hold even for sub-blocks that were not checked.
    for (std::int64_t at = DecodedFrame.DataStart; at < end && file[at] != 0 && at + 1 + file[at] <= end;
         at += file[at] + 1)
        FGatheredData.insert(FGatheredData.end(), file + at + 1, file + at + 1 + file[at]);
    DecodeLzwImage(FGatheredData.data(), FGatheredData.size(), Interlaced, LocalColorTable, FDecoder);
}

bool TGifReader::ReadImageBlock(int& InsertIndex, const TGifReadContext& Context) {
    if (FrameCount >= MaxFrameCount) return true;

    if (ReadControlBody() || SeekImageSeparator()) return true;
    if (!ReadBytes(9)) return true;
    DecodedFrame.Left = Word(0);
    DecodedFrame.Top = Word(2);
    DecodedFrame.Width = Word(4);
    DecodedFrame.Height = Word(6);
    DecodedFrame.LocalColorCount = ColorTableEntries(ReadBuffer[8]);
    const bool interlaced = (ReadBuffer[8] & GifInterlaceFlag) != 0;
    if (!ReadColorTable(LocalColorTable, DecodedFrame.LocalColorCount)) return true;
    if (!ReadBytes(1)) return true;
    DecodedFrame.BitsPerPixel = ReadBuffer[0];

    DecodedFrame.DataStart = GifFileData.GetPosition();
    std::int64_t dataLength = 0;
    if (PassSubBlocks(dataLength)) return true;

    // Images the decoder cannot hold, or whose data cannot fill them, are refused before
    // anything is allocated. As no rate of pixels per bit of data beats that of one stream,
    // the frames of a file together stay within what all their data can stand for.
    const std::int64_t area = std::int64_t(DecodedFrame.Width) * DecodedFrame.Height;
    if (DecodedFrame.BitsPerPixel > MaxLzwMinimumCodeSize) return true;
    if (DIBRowLength(DecodedFrame.Width, 8) * DecodedFrame.Height > Context.StorageLimit) return true;
    // Every frame is drawn through a device bitmap of its size, and the first frame of an empty
    // list makes the screen's pictures.
    if (!PictureSizeFits(DecodedFrame.Width, DecodedFrame.Height)) return true;
    if (FrameCount == 0 && !PictureSizeFits(SourceScreenWidth, SourceScreenHeight)) return true;
    if (!LzwDataCanFill(dataLength, DecodedFrame.BitsPerPixel, area)) return true;

    DecodeImageData(interlaced);
    Context.AddGif(InsertIndex);
    ++InsertIndex;
    return false;
}

// After the introducer $21 and the label of an extension.
bool TGifReader::ReadExtension(std::uint8_t Label, int& InsertIndex, const TGifReadContext& Context) {
    switch (Label) {
    case GifControlLabel:
        return ReadImageBlock(InsertIndex, Context);
    case GifCommentLabel:
        return SkipCommentExtension();
    case GifApplicationLabel:
        return SkipApplicationExtension();
    default:
        return SkipExtension(); // plain text, and labels of any other kind
    }
}

// Blocks are found by their first byte: $21 an extension, $2C an image; any other byte, the
// trailer among them, is passed over alone.
bool TGifReader::ReadGifBlocks(int& InsertIndex, const TGifReadContext& Context) {
    Report(Context.ProgressMax, GifFileData.GetSize());
    while (ReadBytes(1)) {
        bool failed = false;
        if (ReadBuffer[0] == GifExtensionIntroducer) {
            if (!ReadBytes(1)) break; // an introducer with nothing behind it
            failed = ReadExtension(ReadBuffer[0], InsertIndex, Context);
        } else if (ReadBuffer[0] == GifImageSeparator) {
            failed = SkipImage();
        }
        if (failed) return true;
        Report(Context.ProgressPosition, GifFileData.GetPosition());
    }
    Report(Context.ProgressPosition, 0);
    return false;
}

int TGifReader::ReadGifFileData(int& InsertIndex, const TGifReadContext& Context) {
    GifFileData.SetPosition(0);
    if (CheckGifSignature()) return SignatureStage;
    if (ReadScreenDescriptor()) return ScreenDescriptorStage;
    if (ReadGifBlocks(InsertIndex, Context)) return BlockStage;
    return NoLoadError;
}

int ReadGifBytes(const std::uint8_t* Data, std::size_t Size, int& InsertIndex,
                 const TGifReadContext& Context) {
    TGifReader reader(Data, Size);
    return reader.ReadGifFileData(InsertIndex, Context);
}

std::string LoadErrorText(int Stage) {
    return "エラーが発生しました #=" + std::to_string(Stage);
}
