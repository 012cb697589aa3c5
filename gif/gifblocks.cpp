#include "gif/gifblocks.h"

#include <algorithm>
#include <vector>

#include "toolkit/graphics/Exceptions.h"

namespace {

// The bytes of one block, written to the stream in one piece: a block refused on the way
// writes nothing.
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
    TBlockBytes& Text(const std::string& Value) {
        FBytes.insert(FBytes.end(), Value.begin(), Value.end());
        return *this;
    }
    TBlockBytes& Table(const TColor* Colors, int Count) {
        FBytes.reserve(FBytes.size() + 3 * std::size_t(Count));
        for (int i = 0; i < Count; ++i)
            Byte(GetRValue(Colors[i])).Byte(GetGValue(Colors[i])).Byte(GetBValue(Colors[i]));
        return *this;
    }
    void WriteTo(TStream& Stream) const { Stream.WriteBuffer(FBytes.data(), std::int64_t(FBytes.size())); }

private:
    std::vector<std::uint8_t> FBytes;
};

} // namespace

void WriteGifScreenDescriptor(TStream& Stream, int Width, int Height, int ColorResolution, int SizeCode) {
    TBlockBytes block;
    block.Text("GIF89a").Dimension(Width).Dimension(Height);
    block.Byte(GifColorTableFlag + 16 * ColorResolution + SizeCode).Byte(0).Byte(0);
    block.WriteTo(Stream);
}

void WriteGifColorTable(TStream& Stream, const TColor* Colors, int Count) {
    TBlockBytes block;
    block.Table(Colors, Count).WriteTo(Stream);
}

void WriteGifLoopBlock(TStream& Stream, int LoopCount) {
    TBlockBytes block;
    block.Byte(GifExtensionIntroducer).Byte(GifApplicationLabel).Byte(11).Text("NETSCAPE2.0");
    block.Byte(3).Byte(1).Word(LoopCount).Byte(0);
    block.WriteTo(Stream);
}

void WriteGifControl(TStream& Stream, const TGifControl& Control) {
    const int packed =
        (Control.Disposal & 7) << 2 | (Control.UserInput ? 2 : 0) | (Control.Transparent ? 1 : 0);
    TBlockBytes block;
    block.Byte(GifExtensionIntroducer).Byte(GifControlLabel).Byte(4).Byte(packed);
    block.Word(std::clamp(Control.Delay, 0, 0xFFFF)).Byte(Control.TransparentIndex).Byte(0);
    block.WriteTo(Stream);
}

TGifControl ReadGifControl(const std::uint8_t* Body) {
    TGifControl control;
    const std::uint8_t packed = Body[1];
    control.Disposal = (packed >> 2) & 7;
    control.UserInput = (packed & 2) != 0;
    control.Transparent = (packed & 1) != 0;
    control.Delay = Body[2] | Body[3] << 8;
    control.TransparentIndex = Body[4];
    return control;
}

void WriteGifImageDescriptor(TStream& Stream, int Left, int Top, int Width, int Height, int SizeCode,
                             const TColor* LocalTable) {
    TBlockBytes block;
    block.Byte(GifImageSeparator).Dimension(Left).Dimension(Top).Dimension(Width).Dimension(Height);
    block.Byte((LocalTable != nullptr ? GifColorTableFlag : 0) + SizeCode);
    if (LocalTable != nullptr) block.Table(LocalTable, 1 << (SizeCode + 1));
    block.Byte(SizeCode + 1);
    block.WriteTo(Stream);
}

void WriteGifClosing(TStream& Stream, const std::string& Comment) {
    TBlockBytes block;
    block.Byte(GifExtensionIntroducer).Byte(GifCommentLabel).Byte(int(Comment.size())).Text(Comment);
    block.Byte(0).Byte(GifTrailer);
    block.WriteTo(Stream);
}
