// The split rule: a range of weighted colours is cut at the mean of the channel with the
// largest weighted variance, upper part first, down to a fixed depth; each non-empty leaf
// becomes one palette entry. Cells and pixels run through the same code.
#include <cmath>

#include "imagelib/KvDIBReducePrivate.h"

namespace {

// Sums of a range. Weights and values are integers, so these integer sums are exactly the
// extended-precision sums (every partial sum stays far below 2^64), and the sums of a part
// can be taken as the whole less the other part.
struct TSplitSums {
    std::uint64_t Weight = 0;
    std::uint64_t Sum[3] = {0, 0, 0};
    std::uint64_t Squares[3] = {0, 0, 0};

    void Add(std::uint64_t w, std::uint64_t red, std::uint64_t green, std::uint64_t blue) {
        Weight += w;
        Sum[0] += w * red;
        Sum[1] += w * green;
        Sum[2] += w * blue;
        Squares[0] += w * red * red;
        Squares[1] += w * green * green;
        Squares[2] += w * blue * blue;
    }
    TSplitSums operator-(const TSplitSums& other) const {
        TSplitSums d;
        d.Weight = Weight - other.Weight;
        for (int c = 0; c < 3; ++c) {
            d.Sum[c] = Sum[c] - other.Sum[c];
            d.Squares[c] = Squares[c] - other.Squares[c];
        }
        return d;
    }
};

// Nearest integer, halves to the even neighbour (10.5 -> 10, 11.5 -> 12).
std::uint8_t RoundHalfEven(long double value) {
    const long double floor = std::floor(value);
    const long double fraction = value - floor; // exact
    int result = int(floor);
    if (fraction > 0.5L || (fraction == 0.5L && result % 2 != 0)) ++result;
    return std::uint8_t(result);
}

// Cells, weighted by Count and valued by their mean colour.
struct TCellItems {
    TColorCell* Cells;

    template <int Channel> int Value(std::int64_t i) const {
        if constexpr (Channel == 0) return Cells[i].R;
        if constexpr (Channel == 1) return Cells[i].G;
        return Cells[i].B;
    }
    void AddTo(TSplitSums& sums, std::int64_t i) const {
        const TColorCell& c = Cells[i];
        sums.Add(std::uint64_t(c.Count), std::uint64_t(c.R), std::uint64_t(c.G), std::uint64_t(c.B));
    }
    void Swap(std::int64_t i, std::int64_t j) const { std::swap(Cells[i], Cells[j]); }
    void MakeLeaf(std::int64_t first, std::int64_t last, int, int index) const {
        for (std::int64_t i = first; i < last; ++i)
            Cells[i].Count = index;
    }
    void MakeSplit(int, int, long double) const {}
    int TakeChild(int, bool) const { return 0; }
};

// Pixels as blue, green, red triples, each of weight 1; the splits build the tree.
struct TPixelItems {
    std::uint8_t* Pixels;
    TColorTree& Tree;

    template <int Channel> int Value(std::int64_t i) const { return Pixels[i * 3 + (2 - Channel)]; }
    void AddTo(TSplitSums& sums, std::int64_t i) const {
        const std::uint8_t* p = Pixels + i * 3;
        sums.Add(1, p[2], p[1], p[0]);
    }
    void Swap(std::int64_t i, std::int64_t j) const {
        std::uint8_t* a = Pixels + i * 3;
        std::uint8_t* b = Pixels + j * 3;
        std::swap(a[0], b[0]);
        std::swap(a[1], b[1]);
        std::swap(a[2], b[2]);
    }
    void MakeLeaf(std::int64_t, std::int64_t, int node, int index) const {
        Tree.Nodes[node] = TColorTreeNode{ColorTreeLeaf, 0.0L, std::uint8_t(index), 0, 0};
    }
    void MakeSplit(int node, int channel, long double threshold) const {
        TColorTreeNode& n = Tree.Nodes[node];
        n.Kind = std::uint8_t(channel);
        n.Threshold = threshold;
        n.Index = 0;
    }
    int TakeChild(int node, bool high) const {
        const int child = Tree.Count++;
        (high ? Tree.Nodes[node].HighChild : Tree.Nodes[node].LowChild) = child;
        return child;
    }
};

template <class Items> TSplitSums SumRange(const Items& items, std::int64_t first, std::int64_t last) {
    TSplitSums sums;
    for (std::int64_t i = first; i < last; ++i)
        items.AddTo(sums, i);
    return sums;
}

template <class Items> class TSplitter {
public:
    TSplitter(const Items& items, int depth, RGBQUAD* palette, int& entryCount, const TKvProgressStep& step)
        : FItems(items), FDepth(depth), FPalette(palette), FEntryCount(entryCount), FStep(step) {}

    void Divide(std::int64_t first, std::int64_t last, int level, const TSplitSums& sums, int node) {
        if (first == last) {
            // An empty range stands for the 2^(D - L) leaves it would have had.
            if (FStep)
                for (int i = 0; i < (1 << (FDepth - level)); ++i)
                    FStep();
            return;
        }
        const long double n = static_cast<long double>(sums.Weight);
        long double mean[3], variance[3];
        for (int c = 0; c < 3; ++c) {
            mean[c] = static_cast<long double>(sums.Sum[c]) / n;
            variance[c] = static_cast<long double>(sums.Squares[c]) / n - mean[c] * mean[c];
        }
        if (level == FDepth) {
            const int k = FEntryCount;
            FPalette[k] = RGBQUAD{RoundHalfEven(mean[2]), RoundHalfEven(mean[1]), RoundHalfEven(mean[0]), 0};
            FItems.MakeLeaf(first, last, node, k);
            ++FEntryCount;
            if (FStep) FStep();
            return;
        }
        // Channels weigh 3 : 4 : 2; ties go to red, then green.
        const long double red = 3 * variance[0], green = 4 * variance[1], blue = 2 * variance[2];
        const int channel = red >= green && red >= blue ? 0 : green >= red && green >= blue ? 1 : 2;
        const long double threshold = mean[channel];
        FItems.MakeSplit(node, channel, threshold);

        TSplitSums lower;
        std::int64_t middle;
        switch (channel) {
        case 0:
            middle = Partition<0>(first, last, threshold, lower);
            break;
        case 1:
            middle = Partition<1>(first, last, threshold, lower);
            break;
        default:
            middle = Partition<2>(first, last, threshold, lower);
            break;
        }
        const TSplitSums upper = sums - lower;
        Divide(middle, last, level + 1, upper, FItems.TakeChild(node, true));
        Divide(first, middle, level + 1, lower, FItems.TakeChild(node, false));
    }

private:
    // Items at most the threshold to the front; returns where the upper part starts and
    // sums the lower part on the way (every lower item is passed over by i exactly once).
    template <int Channel>
    std::int64_t Partition(std::int64_t first, std::int64_t last, long double threshold, TSplitSums& lower) {
        // Values are integers and the threshold is not negative: v <= T exactly when
        // v <= floor(T).
        const int limit = int(threshold);
        std::int64_t i = first, j = last;
        while (i < j) {
            while (i < j && FItems.template Value<Channel>(i) <= limit)
                FItems.AddTo(lower, i++);
            while (i < j && FItems.template Value<Channel>(j - 1) > limit)
                --j;
            if (i != j) FItems.Swap(i, j - 1);
        }
        return i;
    }

    const Items& FItems;
    int FDepth;
    RGBQUAD* FPalette;
    int& FEntryCount;
    const TKvProgressStep& FStep;
};

} // namespace

void DivideColorCells(int First, int Last, int Level, int Depth, TColorCell* Cells, RGBQUAD* Palette,
                      int& EntryCount, const TKvProgressStep& Step) {
    DIBAssert(Level >= 0 && Level <= Depth && Depth <= 8, "DivideColorCells: Invalid Depth");
    const TCellItems items{Cells};
    TSplitter<TCellItems>(items, Depth, Palette, EntryCount, Step)
        .Divide(First, Last, Level, SumRange(items, First, Last), 0);
}

void DividePixels(std::int64_t First, std::int64_t Last, int Level, int Depth, std::uint8_t* Pixels,
                  RGBQUAD* Palette, int& EntryCount, TColorTree& Tree, int Node,
                  const TKvProgressStep& Step) {
    DIBAssert(Level >= 0 && Level <= Depth && Depth <= 8, "DividePixels: Invalid Depth");
    const TPixelItems items{Pixels, Tree};
    TSplitter<TPixelItems>(items, Depth, Palette, EntryCount, Step)
        .Divide(First, Last, Level, SumRange(items, First, Last), Node);
}
