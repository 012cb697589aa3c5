// The high mode of colour reduction: every pixel takes part in the split, which builds a
// decision tree; each pixel is then mapped by walking the tree with the comparisons the
// partition made.
#include "imagelib/KvDIBReducePrivate.h"

namespace {

// Copies the pixels into one array of triples and splits it, building Tree.
void MakeColorTreeHigh(const TKvDIBInfos& Source, RGBQUAD* Palette, int& EntryCount, TColorTree& Tree,
                       int Depth, const TKvProgressStep& Step, const char* Converter) {
    Tree.Count = 1;
    EntryCount = 0;
    const int width = Source.Header.biWidth;
    const std::int64_t rows = DIBRowCount(Source.Header);
    const std::int64_t stride = DIBRowLength(width, 24);
    const std::int64_t rowBytes = std::int64_t(width) * 3;
    // Each row is copied with its padding, which the next row overwrites; the last row's
    // padding lands in the 4 spare bytes.
    const auto pixels = AllocWorkBuffer<std::uint8_t>(std::size_t(rowBytes * rows + 4), Converter);
    for (std::int64_t y = 0; y < rows; ++y)
        std::memcpy(pixels.get() + y * rowBytes, Source.Bits + y * stride, std::size_t(stride));
    DividePixels(0, std::int64_t(width) * rows, 0, Depth, pixels.get(), Palette, EntryCount, Tree, 0, Step);
}

// The tree in the form the walk reads: the byte offset of the split channel in a blue,
// green, red triple and the integer limit (v > Threshold exactly when v > floor(Threshold)).
struct TWalkNode {
    std::uint8_t Kind;
    std::uint8_t Offset;
    std::uint8_t Index;
    std::int32_t Limit;
    std::int32_t LowChild;
    std::int32_t HighChild;
};

void ConvertTrueColorHigh(const TKvDIBInfos& Source, TKvDIBInfos& Result, int BitCount,
                          const TKvProgressStep& Step, const char* Converter) {
    if (Source.Header.biBitCount != 24) throw EKvDIBBadDIBType(std::string(Converter) + ": Invalid Bitcount");
    RGBQUAD palette[256]{};
    int entryCount = 0;
    TColorTree tree;
    // Nodes reserved for empty ranges are never written; an invalid kind makes reaching one
    // an error instead of a walk in circles.
    for (TColorTreeNode& node : tree.Nodes)
        node = TColorTreeNode{0xFF, 0.0L, 0, 0, 0};
    MakeColorTreeHigh(Source, palette, entryCount, tree, BitCount, Step, Converter);

    TWalkNode walk[512];
    for (int i = 0; i < tree.Count; ++i) {
        const TColorTreeNode& node = tree.Nodes[i];
        const bool split = node.Kind < ColorTreeLeaf;
        walk[i] = TWalkNode{node.Kind,     std::uint8_t(split ? 2 - node.Kind : 0),
                            node.Index,    split ? std::int32_t(node.Threshold) : 0,
                            node.LowChild, node.HighChild};
    }
    const std::string invalidKind = std::string(Converter) + ": Invalid DivideID";
    auto leafOf = [&walk, &invalidKind](const std::uint8_t* p) {
        const TWalkNode* node = &walk[0];
        while (node->Kind != ColorTreeLeaf) {
            if (node->Kind > ColorTreeLeaf) DIBAssert(false, invalidKind);
            node = &walk[p[node->Offset] > node->Limit ? node->HighChild : node->LowChild];
        }
        return node->Index;
    };
    const int width = Source.Header.biWidth;
    MakeReducedImage(Source, Result, BitCount, palette, entryCount, Converter,
                     [width, &leafOf](const std::uint8_t* p, std::uint8_t* indexes) {
                         // Runs of one colour are common; the walk is repeated only on a change.
                         std::uint32_t last = 0xFFFFFFFF;
                         std::uint8_t index = 0;
                         for (int x = 0; x < width; ++x, p += 3) {
                             const std::uint32_t color = p[0] | (p[1] << 8) | (std::uint32_t(p[2]) << 16);
                             if (color != last) {
                                 index = leafOf(p);
                                 last = color;
                             }
                             indexes[x] = index;
                         }
                     });
}

} // namespace

void ConvertTrueColorTo8BitRGBHigh(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                   const TKvProgressStep& Step) {
    ConvertTrueColorHigh(Source, Result, 8, Step, "ConvertTrueColorTo8BitRGBHigh");
}

void ConvertTrueColorTo4BitRGBHigh(const TKvDIBInfos& Source, TKvDIBInfos& Result,
                                   const TKvProgressStep& Step) {
    ConvertTrueColorHigh(Source, Result, 4, Step, "ConvertTrueColorTo4BitRGBHigh");
}
