#include "toolkit/graphics/GdiDIBRows.h"

#include <algorithm>

#include "toolkit/graphics/DIBHeader.h"

namespace {

constexpr std::int64_t MaxImageBytes = std::int64_t(1) << 30;
constexpr std::size_t CacheSize = 4096;

constexpr QRgb Opaque(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
    return qRgb(R, G, B);
}

std::size_t CacheSlot(QRgb Color) {
    return ((Color & 0xFFFFFF) * 2654435761u >> 20) & (CacheSize - 1);
}

} // namespace

bool TDIBLayout::Make(const BITMAPINFOHEADER& Header, std::initializer_list<int> AllowedBits,
                      TDIBLayout& Layout) {
    if (Header.biCompression != BI_RGB || Header.biWidth <= 0 || Header.biHeight == 0) return false;
    if (std::find(AllowedBits.begin(), AllowedBits.end(), int(Header.biBitCount)) == AllowedBits.end())
        return false;
    const std::int64_t height = Header.biHeight < 0 ? -std::int64_t(Header.biHeight) : Header.biHeight;
    const std::int64_t stride = (std::int64_t(Header.biWidth) * Header.biBitCount + 31) / 32 * 4;
    if (stride * height > MaxImageBytes) return false;
    Layout.Width = Header.biWidth;
    Layout.Height = static_cast<int>(height);
    Layout.BitCount = Header.biBitCount;
    Layout.TopDown = Header.biHeight < 0;
    Layout.Stride = stride;
    Layout.ImageBytes = stride * height;
    return true;
}

int DIBColorCount(const BITMAPINFOHEADER& Header) {
    if (Header.biClrUsed != 0) return static_cast<int>(std::min<std::uint32_t>(Header.biClrUsed, 256));
    return DefaultDIBColors(Header.biBitCount);
}

std::array<QRgb, 256> ColorLookup(const RGBQUAD* Colors, int Count) {
    std::array<QRgb, 256> lookup;
    lookup.fill(Opaque(0, 0, 0));
    for (int i = 0; Colors != nullptr && i < std::min(Count, 256); ++i)
        lookup[i] = Opaque(Colors[i].rgbRed, Colors[i].rgbGreen, Colors[i].rgbBlue);
    return lookup;
}

void DecodeDIBRow(const std::uint8_t* Row, int BitCount, const QRgb* Lookup, int X0, int Count, QRgb* Out) {
    switch (BitCount) {
    case 1:
        for (int i = 0; i < Count; ++i) {
            const int x = X0 + i;
            Out[i] = Lookup[(Row[x >> 3] >> (7 - (x & 7))) & 1];
        }
        break;
    case 4:
        for (int i = 0; i < Count; ++i) {
            const int x = X0 + i;
            const std::uint8_t pair = Row[x >> 1];
            Out[i] = Lookup[(x & 1) ? (pair & 0x0F) : (pair >> 4)];
        }
        break;
    case 8:
        for (int i = 0; i < Count; ++i)
            Out[i] = Lookup[Row[X0 + i]];
        break;
    case 24: {
        const std::uint8_t* p = Row + std::int64_t(X0) * 3;
        for (int i = 0; i < Count; ++i, p += 3)
            Out[i] = Opaque(p[2], p[1], p[0]);
        break;
    }
    case 32: {
        const std::uint8_t* p = Row + std::int64_t(X0) * 4;
        for (int i = 0; i < Count; ++i, p += 4)
            Out[i] = Opaque(p[2], p[1], p[0]);
        break;
    }
    default:
        break;
    }
}

TNearestColor::TNearestColor(std::vector<QRgb> Entries) : FEntries(std::move(Entries)), FCache(CacheSize) {}

int TNearestColor::Find(QRgb Color) {
    Color |= 0xFF000000u;
    TCacheSlot& slot = FCache[CacheSlot(Color)];
    if (slot.Key == Color) return slot.Index;
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (std::size_t i = 0; i < FEntries.size(); ++i) {
        const int dr = qRed(Color) - qRed(FEntries[i]);
        const int dg = qGreen(Color) - qGreen(FEntries[i]);
        const int db = qBlue(Color) - qBlue(FEntries[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    slot.Key = Color;
    slot.Index = best;
    return best;
}

void EncodeDIBRow(const QRgb* In, int X0, int Count, std::uint8_t* Row, int BitCount,
                  TNearestColor* Nearest) {
    switch (BitCount) {
    case 1:
        for (int i = 0; i < Count; ++i) {
            const int x = X0 + i;
            const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
            if (Nearest->Find(In[i]) & 1)
                Row[x >> 3] |= bit;
            else
                Row[x >> 3] &= static_cast<std::uint8_t>(~bit);
        }
        break;
    case 4:
        for (int i = 0; i < Count; ++i) {
            const int x = X0 + i;
            const std::uint8_t index = static_cast<std::uint8_t>(Nearest->Find(In[i]) & 0x0F);
            std::uint8_t& pair = Row[x >> 1];
            pair = (x & 1) ? static_cast<std::uint8_t>((pair & 0xF0) | index)
                           : static_cast<std::uint8_t>((pair & 0x0F) | (index << 4));
        }
        break;
    case 8:
        for (int i = 0; i < Count; ++i)
            Row[X0 + i] = static_cast<std::uint8_t>(Nearest->Find(In[i]));
        break;
    case 24: {
        std::uint8_t* p = Row + std::int64_t(X0) * 3;
        for (int i = 0; i < Count; ++i, p += 3) {
            p[0] = static_cast<std::uint8_t>(qBlue(In[i]));
            p[1] = static_cast<std::uint8_t>(qGreen(In[i]));
            p[2] = static_cast<std::uint8_t>(qRed(In[i]));
        }
        break;
    }
    case 32: {
        std::uint8_t* p = Row + std::int64_t(X0) * 4;
        for (int i = 0; i < Count; ++i, p += 4) {
            p[0] = static_cast<std::uint8_t>(qBlue(In[i]));
            p[1] = static_cast<std::uint8_t>(qGreen(In[i]));
            p[2] = static_cast<std::uint8_t>(qRed(In[i]));
            p[3] = 0;
        }
        break;
    }
    default:
        break;
    }
}
