// Writing packed DIBs and BMP file images.
#include <algorithm>
#include <memory>

#include "toolkit/graphics/BitmapDIB.h"
#include "toolkit/graphics/GdiDIBRows.h"

namespace {

void Put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

} // namespace

std::vector<std::uint8_t> EncodeDIB(const QImage& Image, int BitCount,
                                    const std::vector<PALETTEENTRY>& Colors) {
    const QImage pixels = Image.convertToFormat(QImage::Format_RGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    std::vector<PALETTEENTRY> table;
    if (BitCount <= 8)
        table.assign(Colors.begin(), Colors.begin() + std::min<std::size_t>(Colors.size(), 1u << BitCount));
    const std::size_t stride =
        (static_cast<std::size_t>(width) * static_cast<std::size_t>(BitCount) + 31) / 32 * 4;
    const std::size_t headerBytes = sizeof(BITMAPINFOHEADER) + 4 * table.size();
    std::vector<std::uint8_t> out(headerBytes + stride * static_cast<std::size_t>(height), 0);

    std::uint8_t* h = out.data();
    Put32(h, sizeof(BITMAPINFOHEADER));
    Put32(h + 4, static_cast<std::uint32_t>(width));
    Put32(h + 8, static_cast<std::uint32_t>(height));
    Put16(h + 12, 1);
    Put16(h + 14, static_cast<std::uint32_t>(BitCount));
    Put32(h + 16, BI_RGB);
    Put32(h + 20, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(height)));
    Put32(h + 32, static_cast<std::uint32_t>(table.size()));
    for (std::size_t i = 0; i < table.size(); ++i) {
        std::uint8_t* e = h + sizeof(BITMAPINFOHEADER) + 4 * i;
        e[0] = table[i].peBlue;
        e[1] = table[i].peGreen;
        e[2] = table[i].peRed;
    }

    std::unique_ptr<TNearestColor> nearest;
    if (BitCount <= 8) {
        std::vector<QRgb> entries;
        for (const PALETTEENTRY& e : table)
            entries.push_back(qRgb(e.peRed, e.peGreen, e.peBlue));
        if (entries.empty()) entries.push_back(qRgb(0, 0, 0));
        nearest = std::make_unique<TNearestColor>(std::move(entries));
    }
    for (int y = 0; y < height; ++y)
        EncodeDIBRow(reinterpret_cast<const QRgb*>(pixels.constScanLine(y)), 0, width,
                     out.data() + headerBytes + static_cast<std::size_t>(height - 1 - y) * stride, BitCount,
                     nearest.get());
    return out;
}

void WriteBMP(TStream& Stream, const QImage& Image, int BitCount, const std::vector<PALETTEENTRY>& Colors) {
    const std::vector<std::uint8_t> dib = EncodeDIB(Image, BitCount, Colors);
    std::uint8_t fileHeader[sizeof(BITMAPFILEHEADER)] = {'B', 'M'};
    const std::uint32_t colors = static_cast<std::uint32_t>(dib[32] | dib[33] << 8);
    Put32(fileHeader + 2, static_cast<std::uint32_t>(sizeof fileHeader + dib.size()));
    Put32(fileHeader + 10,
          static_cast<std::uint32_t>(sizeof fileHeader + sizeof(BITMAPINFOHEADER) + 4 * colors));
    Stream.WriteBuffer(fileHeader, sizeof fileHeader);
    Stream.WriteBuffer(dib.data(), static_cast<std::int64_t>(dib.size()));
}
