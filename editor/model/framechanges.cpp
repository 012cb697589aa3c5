// Comparing a frame with the one before: the changed rectangle, the S-size paint and its check.
// Uncompressed images are read straight from their rows; the results are those of Pixels.
#include "editor/model/framechanges.h"

#include <algorithm>
#include <cstring>

#include "imagelib/KvDIB.h"

namespace {

bool IsUncompressed(const TKvDIB& Image, int BitCount) {
    const TKvInternalDIB* image = Image.InternalDIB;
    return image != nullptr && image->Infos.Bits != nullptr && image->Infos.Header.biBitCount == BitCount &&
           image->Infos.Header.biCompression == BI_RGB;
}

void RequireUncompressed(const TKvDIB& Image, int BitCount, const char* Where) {
    if (!IsUncompressed(Image, BitCount)) DIBAssert(false, std::string(Where) + ": Invalid DIB Format");
}

std::uint8_t* Row(const TKvDIB& Image, int Y) {
    return DIBScanLine(Image.InternalDIB->Infos, Y);
}

} // namespace

void GetChangedRect(TKvDIB& A, TKvDIB& B, TRect& R) {
    const int width = A.GetWidth(), height = A.GetHeight();
    R = TRect{width - 1, height - 1, 0, 0};
    auto take = [&R](int Left, int Right, int Y) {
        R.Left = std::min(R.Left, Left);
        R.Right = std::max(R.Right, Right);
        R.Top = std::min(R.Top, Y);
        R.Bottom = std::max(R.Bottom, Y);
    };
    const int bitCount = A.GetBitCount();
    if ((bitCount == 8 || bitCount == 24) && IsUncompressed(A, bitCount) && IsUncompressed(B, bitCount)) {
        // Whole pixels are whole bytes here: the first and last differing byte give the row's
        // first and last differing pixel.
        const int bytesPerPixel = bitCount / 8;
        const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* a = Row(A, y);
            const std::uint8_t* b = Row(B, y);
            if (std::memcmp(a, b, rowBytes) == 0) continue;
            std::size_t first = 0, last = rowBytes - 1;
            while (a[first] == b[first])
                ++first;
            while (a[last] == b[last])
                --last;
            take(int(first) / bytesPerPixel, int(last) / bytesPerPixel, y);
        }
        return;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (A.GetPixels(x, y) != B.GetPixels(x, y)) take(x, x, y);
}

std::optional<TPoint> PaintUnchangedPixels(TKvDIB& Frame, TKvDIB& Previous, TColor Color,
                                           std::vector<std::uint8_t>& Painted) {
    Frame.UniqueDIB();
    RequireUncompressed(Frame, 24, "PaintUnchangedPixels");
    RequireUncompressed(Previous, 24, "PaintUnchangedPixels");
    const int width = Frame.GetWidth(), height = Frame.GetHeight();
    const TColor color = ColorToRGB(Color);
    const std::uint8_t paint[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    Painted.assign(std::size_t(width) * height, 0);
    std::optional<TPoint> last;
    std::uint8_t* painted = Painted.data();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = Row(Frame, y);
        const std::uint8_t* q = Row(Previous, y);
        for (int x = 0; x < width; ++x, p += 3, q += 3, ++painted) {
            if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) continue;
            std::memcpy(p, paint, 3);
            *painted = 1;
            last = TPoint{x, y};
        }
    }
    return last;
}

bool TransparencyCoversPainted(TKvDIB& Frame, const std::vector<std::uint8_t>& Painted, const TRect& R,
                               int Index) {
    RequireUncompressed(Frame, 8, "TransparencyCoversPainted");
    const std::size_t width = std::size_t(Frame.GetWidth());
    for (int y = R.Top; y <= R.Bottom; ++y) {
        const std::uint8_t* pixels = Row(Frame, y);
        const std::uint8_t* painted = Painted.data() + width * y;
        for (int x = R.Left; x <= R.Right; ++x)
            if ((pixels[x] == Index) != (painted[x] != 0)) return false;
    }
    return true;
}

namespace {

// The first byte from At on where the rows A and B of Size bytes differ; Size when none.
std::size_t FirstDifference(const std::uint8_t* A, const std::uint8_t* B, std::size_t At, std::size_t Size) {
    for (; At + 8 <= Size; At += 8) {
        std::uint64_t a, b;
        std::memcpy(&a, A + At, 8);
        std::memcpy(&b, B + At, 8);
        if (a != b) break;
    }
    while (At < Size && A[At] == B[At])
        ++At;
    return At;
}

bool PixelDiffers(const std::uint8_t* A, const std::uint8_t* B, int X) {
    return A[3 * X] != B[3 * X] || A[3 * X + 1] != B[3 * X + 1] || A[3 * X + 2] != B[3 * X + 2];
}

} // namespace

void ForEachChangedRun(TKvDIB& Frame, TKvDIB& Before,
                       const std::function<void(int Y, int Left, int Right)>& Visit) {
    RequireUncompressed(Frame, 24, "ForEachChangedRun");
    RequireUncompressed(Before, 24, "ForEachChangedRun");
    const int width = Frame.GetWidth(), height = Frame.GetHeight();
    const std::size_t rowBytes = std::size_t(width) * 3;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* a = Row(Frame, y);
        const std::uint8_t* b = Row(Before, y);
        if (std::memcmp(a, b, rowBytes) == 0) continue;
        for (std::size_t at = FirstDifference(a, b, 0, rowBytes); at < rowBytes;) {
            const int left = int(at / 3);
            int right = left;
            for (int x = left + 1; x < width && x - right <= 2; ++x)
                if (PixelDiffers(a, b, x)) right = x;
            Visit(y, left, right);
            at = FirstDifference(a, b, std::size_t(right + 1) * 3, rowBytes);
        }
    }
}

void FillFrame(TKvDIB& Frame, TColor Color) {
    Frame.UniqueDIB();
    RequireUncompressed(Frame, 24, "FillFrame");
    const TColor color = ColorToRGB(Color);
    const std::uint8_t paint[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
    const int width = Frame.GetWidth(), height = Frame.GetHeight();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* p = Row(Frame, y);
        for (int x = 0; x < width; ++x, p += 3)
            std::memcpy(p, paint, 3);
    }
}
