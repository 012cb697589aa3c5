// StretchDIBits: a DIB stretched onto a DC's surface by nearest pixel with a raster
// operation.
#include <algorithm>
#include <cstdlib>

#include "toolkit/graphics/GdiDevice.h"

namespace {

// One axis of the transfer: destination pixels First .. Last - 1 of the surface take
// the source pixels Map[i] (in image coordinates).
struct TAxisMap {
    int First = 0;
    int Last = 0;
    std::vector<int> Map;
    bool Empty() const { return First >= Last; }
};

// Destination pixel d of a run of DestLength pixels takes source pixel
// floor((d + 1/2) * SrcLength / DestLength): the centre of the destination pixel
// sampled in the source. A negative length runs the other way (mirrors).
TAxisMap MapAxis(int DestStart, int DestLength, int SrcStart, int SrcLength, int SurfaceLength,
                 int ImageLength) {
    const std::int64_t destLength = std::llabs(std::int64_t(DestLength));
    const std::int64_t srcLength = std::llabs(std::int64_t(SrcLength));
    const std::int64_t destLeft = DestLength > 0 ? DestStart : std::int64_t(DestStart) + DestLength;
    const std::int64_t srcLeft = SrcLength > 0 ? SrcStart : std::int64_t(SrcStart) + SrcLength;
    const bool mirror = (DestLength < 0) != (SrcLength < 0);

    TAxisMap axis;
    const std::int64_t first = std::max<std::int64_t>(destLeft, 0);
    const std::int64_t last = std::min<std::int64_t>(destLeft + destLength, SurfaceLength);
    for (std::int64_t x = first; x < last; ++x) {
        std::int64_t d = x - destLeft;
        if (mirror) d = destLength - 1 - d;
        const std::int64_t s = srcLeft + (2 * d + 1) * srcLength / (2 * destLength);
        if (s < 0 || s >= ImageLength) {
            // Source pixels outside the image leave their destination alone; the
            // mapping is monotonic, so those lie at the ends of the run.
            if (axis.Map.empty()) continue;
            break;
        }
        if (axis.Map.empty()) axis.First = static_cast<int>(x);
        axis.Map.push_back(static_cast<int>(s));
    }
    axis.Last = axis.First + static_cast<int>(axis.Map.size());
    return axis;
}

template <class Op> void Combine(const QRgb* Source, const int* Columns, int Count, QRgb* Dest, Op op) {
    for (int i = 0; i < Count; ++i)
        Dest[i] = (op(Source[Columns[i]], Dest[i]) & 0xFFFFFF) | 0xFF000000u;
}

// Calls F with the per-pixel function of a raster operation; false for one it lacks.
template <class F> bool WithRop(std::uint32_t Rop, F&& f) {
    switch (Rop) {
    case SRCCOPY:
        f([](QRgb s, QRgb) { return s; });
        return true;
    case SRCPAINT:
        f([](QRgb s, QRgb d) { return s | d; });
        return true;
    case SRCAND:
        f([](QRgb s, QRgb d) { return s & d; });
        return true;
    case SRCINVERT:
        f([](QRgb s, QRgb d) { return s ^ d; });
        return true;
    case SRCERASE:
        f([](QRgb s, QRgb d) { return s & ~d; });
        return true;
    case NOTSRCCOPY:
        f([](QRgb s, QRgb) { return ~s; });
        return true;
    case NOTSRCERASE:
        f([](QRgb s, QRgb d) { return ~(s | d); });
        return true;
    case MERGEPAINT:
        f([](QRgb s, QRgb d) { return ~s | d; });
        return true;
    case DSTINVERT:
        f([](QRgb, QRgb d) { return ~d; });
        return true;
    case BLACKNESS:
        f([](QRgb, QRgb) { return QRgb(0); });
        return true;
    case WHITENESS:
        f([](QRgb, QRgb) { return QRgb(0xFFFFFF); });
        return true;
    default:
        return false;
    }
}

bool KnownRop(std::uint32_t Rop) {
    return WithRop(Rop, [](auto) {});
}

int RowsOf(int SrcHeight) {
    return static_cast<int>(std::min<std::int64_t>(std::llabs(std::int64_t(SrcHeight)), INT32_MAX));
}

// The transfer both calls share: each destination pixel of the clipped run becomes
// Op(source pixel, destination pixel); CopyAll says that Op is the source pixel itself.
template <class Op>
int TransferDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                   int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFOHEADER& Header,
                   const RGBQUAD* Colors, bool CopyAll, Op op) {
    TDIBLayout layout;
    if (Bits == nullptr || !TDIBLayout::Make(Header, {1, 4, 8, 24, 32}, layout)) return 0;
    if (DestWidth == 0 || DestHeight == 0 || SrcWidth == 0 || SrcHeight == 0) return 0;
    QImage* surface = BeginDrawing(DC);
    if (surface == nullptr) return 0;

    const TAxisMap columns = MapAxis(XDest, DestWidth, XSrc, SrcWidth, surface->width(), layout.Width);
    const TAxisMap rows = MapAxis(YDest, DestHeight, YSrc, SrcHeight, surface->height(), layout.Height);
    if (columns.Empty() || rows.Empty()) {
        EndDrawing(DC, QRect());
        return RowsOf(SrcHeight);
    }

    const auto lookup = ColorLookup(Colors, DIBColorCount(Header));
    const auto* bits = static_cast<const std::uint8_t*>(Bits);
    const int count = columns.Last - columns.First;
    const auto [lowest, highest] = std::minmax_element(columns.Map.begin(), columns.Map.end());
    const int sourceLeft = *lowest;
    const int sourceCount = *highest - *lowest + 1;
    // Column indices into the decoded source segment.
    std::vector<int> segmentColumns(columns.Map.size());
    for (std::size_t i = 0; i < columns.Map.size(); ++i)
        segmentColumns[i] = columns.Map[i] - sourceLeft;
    const bool straightCopy = CopyAll && sourceCount == count && columns.Map.front() == sourceLeft;

    std::vector<QRgb> segment(static_cast<std::size_t>(sourceCount));
    int decodedRow = -1;
    for (int y = rows.First; y < rows.Last; ++y) {
        QRgb* dest = reinterpret_cast<QRgb*>(surface->scanLine(y)) + columns.First;
        const int sourceRow = rows.Map[y - rows.First];
        const std::uint8_t* row = layout.ImageRow(bits, sourceRow);
        if (straightCopy) {
            DecodeDIBRow(row, layout.BitCount, lookup.data(), sourceLeft, count, dest);
            continue;
        }
        // Aligned 32-bit rows are combined as they stand: only their colour bits count.
        if (layout.BitCount == 32 && reinterpret_cast<std::uintptr_t>(row) % alignof(QRgb) == 0) {
            Combine(reinterpret_cast<const QRgb*>(row) + sourceLeft, segmentColumns.data(), count, dest, op);
            continue;
        }
        if (sourceRow != decodedRow) {
            DecodeDIBRow(row, layout.BitCount, lookup.data(), sourceLeft, sourceCount, segment.data());
            decodedRow = sourceRow;
        }
        Combine(segment.data(), segmentColumns.data(), count, dest, op);
    }
    EndDrawing(DC, QRect(columns.First, rows.First, count, rows.Last - rows.First));
    return RowsOf(SrcHeight);
}

} // namespace

int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                  int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFOHEADER& Header,
                  const RGBQUAD* Colors, std::uint32_t Usage, std::uint32_t Rop) {
    if (Usage != DIB_RGB_COLORS || !KnownRop(Rop)) return 0;
    int result = 0;
    WithRop(Rop, [&](auto op) {
        result = TransferDIBits(DC, XDest, YDest, DestWidth, DestHeight, XSrc, YSrc, SrcWidth, SrcHeight,
                                Bits, Header, Colors, Rop == SRCCOPY, op);
    });
    return result;
}

int TransparentDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc,
                      int SrcWidth, int SrcHeight, const void* Bits, const BITMAPINFOHEADER& Header,
                      const RGBQUAD* Colors, std::uint32_t Usage, TColor Transparent) {
    if (Usage != DIB_RGB_COLORS) return 0;
    const QRgb key = qRgb(GetRValue(Transparent), GetGValue(Transparent), GetBValue(Transparent)) & 0xFFFFFF;
    return TransferDIBits(DC, XDest, YDest, DestWidth, DestHeight, XSrc, YSrc, SrcWidth, SrcHeight, Bits,
                          Header, Colors, false,
                          [key](QRgb s, QRgb d) { return (s & 0xFFFFFF) == key ? d : s; });
}
