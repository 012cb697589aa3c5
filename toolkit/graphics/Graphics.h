// The graphics classes: graphics, canvases, device-dependent bitmaps and pictures.
#pragma once

#include <QFont>
#include <QImage>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/Gdi.h"
#include "toolkit/graphics/Streams.h"
#include "toolkit/graphics/Types.h"

class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Objects that can copy themselves onto each other.
class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
    // Default: Source->AssignTo(this); raises EConvertError when nothing can assign.
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
    // EConvertError "Cannot assign a <Source> to a <this>".
    [[noreturn]] void AssignError(TPersistent* Source);
    friend class TPersistentAccess;
};

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                                          bool RedrawNow, const TRect& R, const std::string& Msg)>;

class TCanvas;

// Base of every picture kind. Virtual operations in their slot order.
class TGraphic : public TPersistent {
public:
    TGraphic() = default;
    std::string ClassName() const override { return "TGraphic"; }

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void DefineProperties() {}

public:
    void Assign(TPersistent* Source) override;

protected:
    // Marks the graphic modified and fires OnChange.
    virtual void Changed(TObject* Sender);

public:
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    // Compares the two graphics' stream images.
    virtual bool Equals(TGraphic* Graphic);
    virtual bool GetEmpty() = 0;
    virtual int GetHeight() = 0;
    virtual HPALETTE GetPalette() { return 0; }
    virtual bool GetTransparent() { return FTransparent; }
    virtual int GetWidth() = 0;

protected:
    virtual void ReadData(TStream& Stream) { LoadFromStream(Stream); }

public:
    virtual void SetHeight(int Value) = 0;
    virtual void SetPalette(HPALETTE) {}
    virtual void SetTransparent(bool Value);
    virtual void SetWidth(int Value) = 0;

protected:
    virtual void WriteData(TStream& Stream) { SaveToStream(Stream); }

public:
    virtual void LoadFromFile(const std::string& FileName);
    // Written safely: a temporary file renamed over the target when complete.
    virtual void SaveToFile(const std::string& FileName);
    virtual void LoadFromStream(TStream& Stream) = 0;
    virtual void SaveToStream(TStream& Stream) = 0;
    virtual void LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) = 0;
    virtual void SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) = 0;

    // Called through the canvas: Draw and StretchDraw reach the protected Draw this way.
    void Progress(TObject* Sender, TProgressStage Stage, std::uint8_t PercentDone, bool RedrawNow,
                  const TRect& R, const std::string& Msg);

    int Width() { return GetWidth(); }
    int Height() { return GetHeight(); }
    bool Empty() { return GetEmpty(); }

    bool Modified = false;
    bool PaletteModified = false;
    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    bool FTransparent = false;
};

using TGraphicClass = std::function<std::unique_ptr<TGraphic>()>;

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Each pixel the pen touches: copy the pen colour, invert the pixel, xor with the pen colour ...
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
constexpr int SHIFTJIS_CHARSET = 128;
constexpr int DEFAULT_CHARSET = 1;

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
};

// Height < 0: character height in pixels; > 0: cell height. Size is in points (72 per inch
// at 96 pixels per inch). Names of the Windows UI fonts map to fonts present on Linux.
struct TFont {
    std::string Name = "ＭＳ Ｐゴシック";
    int Height = -12;
    int Style = 0; // TFontStyle bits
    TColor Color = clWindowText;
    int Charset = DEFAULT_CHARSET;
    int Size() const;
    void SetSize(int Points);
    // The Qt font drawn with: the name mapped, pixel-sized, without anti-aliasing.
    QFont ToQFont() const;
};

// What GetPixels reports for a point outside the surface.
constexpr TColor CLR_INVALID = 0xFFFFFFFF;

// A canvas draws on the bitmap selected into its device context. Rectangles and ellipses
// leave out their right and bottom edges, lines their end pixel; text is not anti-aliased.
class TCanvas : public TPersistent {
public:
    TCanvas() = default;
    ~TCanvas() override;
    std::string ClassName() const override { return "TCanvas"; }

    HDC GetHandle() const { return FHandle; }
    virtual void SetHandle(HDC Value) { FHandle = Value; }

    TBrush Brush;
    TPen Pen;
    TFont Font;
    std::uint32_t CopyMode = SRCCOPY;
    TPoint PenPos;
    TNotifyEvent OnChange;

    TColor GetPixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Color);

    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void Polygon(const std::vector<TPoint>& Points);
    void DrawFocusRect(const TRect& Rect);
    void TextOut(int X, int Y, const std::string& Text);
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text);
    int TextHeight(const std::string& Text);
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

    // Size of the bitmap drawn on (0 x 0 without one).
    int SurfaceWidth() const;
    int SurfaceHeight() const;

protected:
    void Changed();
    HDC FHandle = 0;
};

struct TDecodedDIB;

// The largest picture the programs make: 1 GiB of 32-bit pixels. Bitmaps, decoded pictures
// and the pictures made from them are refused above it before any of them is allocated.
constexpr std::uint64_t MaxPictureBytes = std::uint64_t(1) << 30;
// A picture of Width x Height at 32 bits per pixel stays within MaxPictureBytes; a side of 0
// or less makes an empty picture, which always fits.
constexpr bool PictureSizeFits(std::int64_t Width, std::int64_t Height) {
    constexpr auto pixels = static_cast<std::int64_t>(MaxPictureBytes / 4);
    return Width <= 0 || Height <= 0 || (Width <= pixels && Height <= pixels / Width);
}

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

// A device-dependent bitmap: 32-bit pixels in a QImage, with the depth it stands for
// (PixelFormat) and a palette for the indexed depths.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    std::string ClassName() const override { return "TBitmap"; }

    void Assign(TPersistent* Source) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    bool GetEmpty() override;
    int GetHeight() override;
    int GetWidth() override;
    HPALETTE GetPalette() override;
    void SetPalette(HPALETTE Value) override; // the bitmap owns Value from now on
    void SetHeight(int Value) override;       // keeps the pixels that remain in the new size
    void SetWidth(int Value) override;
    void SetSize(int AWidth, int AHeight);
    void LoadFromStream(TStream& Stream) override; // a BMP image
    void SaveToStream(TStream& Stream) override;
    void LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) override;
    void SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) override;

    HBITMAP GetHandle();
    TCanvas* Canvas();
    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    // The colour left out when drawn transparent: TransparentColor in tmFixed, the
    // bottom-left pixel in tmAuto.
    TColor GetTransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode = tmAuto;

    // The pixels (Format_RGB32).
    QImage& Image();
    const QImage& Image() const;

private:
    // Takes decoded pixels in the given format, with their colour table when indexed.
    void Install(TDecodedDIB& Picture, TPixelFormat Format);
    void ReplacePalette(HPALETTE Value); // without a change notification

    struct Impl;
    std::unique_ptr<Impl> FImpl;
    TPixelFormat FPixelFormat = pfDevice;
    TColor FTransparentColor = clDefault;
    friend class TBitmapAccess;
};

// Point lies inside Picture.
bool KeyPointInside(TGraphic& Picture, TPoint Point);
// Marks Picture to be drawn without the colour of its own pixel at Key when Transparent is set:
// the colour at a point, not a colour value, is what a picture keys on. A key point outside the
// picture names no colour: the picture is then drawn whole.
void SetKeyColor(TBitmap& Picture, bool Transparent, TPoint Key);

// A container for one graphic of any registered kind.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    std::string ClassName() const override { return "TPicture"; }

    void Assign(TPersistent* Source) override;
    TGraphic* GetGraphic() const { return FGraphic.get(); }
    void SetGraphic(TGraphic* Value); // copies Value (nullptr clears)
    TBitmap* Bitmap();                // replaces the graphic by an empty bitmap when it is no bitmap
    int Width() const;
    int Height() const;
    void LoadFromFile(const std::string& FileName); // kind chosen by the file extension
    void SaveToFile(const std::string& FileName);
    void LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette);
    void SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette);
    TNotifyEvent OnChange;

    static void RegisterFileFormat(const std::string& Extension, const std::string& Description,
                                   const std::string& ClassName, TGraphicClass Factory);
    static void RegisterClipboardFormat(std::uint16_t AFormat, const std::string& ClassName,
                                        TGraphicClass Factory);
    static void UnregisterGraphicClass(const std::string& ClassName);
    static bool SupportsClipboardFormat(std::uint16_t AFormat);
    // "*.bmp;*.dib" style filter of the registered extensions.
    static std::string GraphicFilter();

private:
    void Changed(TObject* Sender);
    void Install(std::unique_ptr<TGraphic> Graphic);
    std::unique_ptr<TGraphic> FGraphic;
};
