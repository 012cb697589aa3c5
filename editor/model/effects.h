// The editor's document: the score of channels and frames, the cast pictures of each channel,
// the main image on its working canvas, and the rules every view and output is built on
// (which cast a channel shows, the composition of a frame, the display zoom).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "toolkit/graphics/Graphics.h"

constexpr int ChannelCount = 10;
// Frames the score has room for, whether or not any cell of them is set.
constexpr int ScoreFrameCount = 200;
constexpr int CastSlotCount = 20;
// The main image's top-left on the working canvas; the margin lets casts stand partly outside.
constexpr int CanvasMargin = 50;
constexpr int MaxZoomFactor = 4;
// Stored positions stay within +-PositionLimit: far beyond any canvas, and far enough from the
// integer limits that placing, composing and zooming them never overflows.
constexpr int PositionLimit = 1 << 24;
// A document's pictures together (the main image, its canvas and every cast, at 32 bits per
// pixel) stay within this; no document made of real pictures comes near it.
constexpr std::int64_t MaxDocumentPictureBytes = std::int64_t(4) << 30;

// Memory of a picture of Width x Height at 32 bits per pixel, as the document holds them.
constexpr std::int64_t PictureMemory(std::int64_t Width, std::int64_t Height) {
    return Width * Height * 4;
}

// (X, Y) brought into the range of stored positions. Every command that stores a position
// computes it in 64 bits and stores it through here.
TPoint ClampPosition(std::int64_t X, std::int64_t Y);

// One channel of the score: its cast pictures and, per frame, whether it shows a cast and where.
struct TScoreChannel {
    TScoreChannel();

    // Owned pictures; empty where the slot is unused.
    std::array<std::unique_ptr<TBitmap>, CastSlotCount> Casts;
    std::array<bool, CastSlotCount> CastUsed{};
    std::array<bool, CastSlotCount> CastTransparent{};
    // The pixel whose colour is the slot's transparent colour.
    std::array<TPoint, CastSlotCount> CastKeyPoint{};
    int CastCount = 0;
    // Centre of the cast in each frame, canvas coordinates; kept while the cell is cleared.
    std::array<TPoint, ScoreFrameCount> Positions{};
    std::array<bool, ScoreFrameCount> CellSet{};

    // The picture of slot Slot, or nullptr when the slot is unused or out of range.
    TBitmap* Cast(int Slot) const;
    // Slot Slot (0..19) with a picture: a new empty one when the slot was unused.
    TBitmap& EnsureCast(int Slot);
    // Frees the picture of slot Slot (0..19); the slot becomes unused.
    void FreeCast(int Slot);
    // Carries CastTransparent and CastKeyPoint of a used slot into its picture
    // (PrepareCastPicture).
    void SyncCastTransparency(int Slot);
    // Slot Slot (0..19) takes Picture, made ready by PrepareCastPicture with the same
    // Transparent and Key, and becomes used. Nothing here can fail: pictures made aside go
    // into their slots all together or, when one of them could not be made, not at all.
    void InstallCast(int Slot, std::unique_ptr<TBitmap> Picture, bool Transparent, TPoint Key) noexcept;
    // Slot Slot takes a copy of Source with that transparency; when the copy cannot be made
    // the slot stays as it was.
    void StoreCast(int Slot, TGraphic& Source, bool Transparent, TPoint Key);
    // CastCount := the number of used slots among all 20.
    void RecountCasts();
};

// One entry of the score clipboard.
struct TScoreClipItem {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    bool CellSet = false;
};

// Makes Picture what a cast slot holds: device-dependent, marked by SetKeyColor.
void PrepareCastPicture(TBitmap& Picture, bool Transparent, TPoint Key);
// A copy of Source made ready for a slot by PrepareCastPicture.
std::unique_ptr<TBitmap> NewCastPicture(TGraphic& Source, bool Transparent, TPoint Key);

// How a frame is composed. Offset moves every cast's top-left: (0, 0) on the working canvas,
// OutputOffset() on a picture of the main image's size. When MovedChannel is a channel, its
// cast is centred on MovedCentre instead of its stored position (placement preview).
struct TComposeOptions {
    int LastChannel = ChannelCount - 1;
    TPoint Offset{};
    int MovedChannel = -1;
    TPoint MovedCentre{};
};

// A main image and its working canvas on their way into the document.
struct TMainImageStage {
    std::unique_ptr<TBitmap> Image;
    std::unique_ptr<TBitmap> Canvas;
};

// The whole document: the score, the casts and the pictures. One instance is shared by the main
// window, its dialogs and every command; what a window remembers of its own work stays in it.
class TEditorDocument {
public:
    // Start-up values: no casts, no set cells, every slot transparent, waits 0, no frame
    // points, an empty main image, no canvas, zoom 1, white background.
    TEditorDocument();
    ~TEditorDocument();
    TEditorDocument(const TEditorDocument&) = delete;
    TEditorDocument& operator=(const TEditorDocument&) = delete;

    // Channel 0 is drawn first, at the bottom.
    std::array<TScoreChannel, ChannelCount> Channels;
    // Wait after each frame in 1/100 s.
    std::array<std::int32_t, ScoreFrameCount> FrameWaits{};
    // Per frame a main-image pixel whose colour is transparent in output; (-1, 0) = none.
    std::array<TPoint, ScoreFrameCount> FramePoints{};
    // The background picture, device-dependent; always exists, empty until one is loaded.
    std::unique_ptr<TBitmap> MainImage;
    // MainImage plus the margin on every side, filled with BackgroundColor; nullptr until the
    // first main image exists, and every picture command does nothing while it is missing.
    std::unique_ptr<TBitmap> CanvasBitmap;
    // The main image inside CanvasBitmap; output frames are cut to it.
    TRect MainImageRect{};
    TColor BackgroundColor = clWhite;
    std::array<TScoreClipItem, ScoreFrameCount> ScoreClip{};
    int ScoreClipCount = 0;

    // Display zoom of the frame view, 1..4 (other values are brought into the range).
    int GetZoomFactor() const { return FZoomFactor; }
    void SetZoomFactor(int Value);
    // Whether a main image of Width x Height fits: its working canvas and the frame view of
    // that at the zoom stay within the picture limit.
    bool MainImageFits(int Width, int Height) const;
    // Whether the frame view of the canvas at Zoom stays within the picture limit (always,
    // while there is no canvas).
    bool ZoomFits(int Zoom) const;
    // The memory the main image, the canvas and the casts take (PictureMemory).
    std::int64_t HeldPictureMemory() const;

    // Slot shown by channel Channel at frame Frame, or -1 when its cell there is empty. A run of
    // set cells steps through the slots in turn; an empty cell restarts the run at slot 0.
    int CastIndexAt(int Frame, int Channel) const;
    // The frame's transparency point lies inside the main image.
    bool FramePointValid(int Frame) const;

    // Builds CanvasBitmap around MainImage (made device-dependent): the margin on every side
    // in BackgroundColor, the main image at (CanvasMargin, CanvasMargin); sets MainImageRect.
    // A canvas that cannot be made leaves the old one.
    void RebuildCanvas();
    // A new main image with its canvas, made aside from the document: Picture made
    // device-dependent and a canvas built around it. Raises when the canvas cannot be made.
    TMainImageStage StageMainImage(std::unique_ptr<TBitmap> Picture) const;
    // The staged image and canvas replace MainImage, CanvasBitmap and MainImageRect together;
    // nothing here can fail.
    void InstallMainImage(TMainImageStage Stage) noexcept;
    // Both in one: Picture becomes the main image, or nothing changes.
    void ReplaceMainImage(std::unique_ptr<TBitmap> Picture);

    // Draws the casts of Frame onto Target, channels 0..Options.LastChannel in order, each
    // centred on its position and moved by Options.Offset, leaving transparent colours out.
    void DrawFrameCasts(TBitmap& Target, int Frame, const TComposeOptions& Options) const;
    // A new bitmap: a copy of the canvas with channels 0..LastChannel of Frame drawn on it
    // (empty while there is no canvas).
    std::unique_ptr<TBitmap> ComposeFrame(int Frame, int LastChannel) const;
    // A new device-dependent bitmap of the main image's size holding Frame as it is output.
    std::unique_ptr<TBitmap> ComposeOutputFrame(int Frame) const;
    // Offset that turns canvas positions into main-image positions.
    TPoint OutputOffset() const { return TPoint{-MainImageRect.Left, -MainImageRect.Top}; }

    TRect ZoomRect(const TRect& Source) const;
    TPoint ZoomPoint(const TPoint& Source) const;
    // Divides a view point by the zoom, truncating toward zero.
    void UnzoomXY(int& X, int& Y) const;
    // Replaces Bitmap (a composed canvas-sized frame) by its view at the zoom; where the frame
    // has a valid transparency point, that point's colour shows as the background colour.
    void MakeZoomedView(int Frame, std::unique_ptr<TBitmap>& Bitmap) const;

private:
    int FZoomFactor = 1;
};

// Draws Graphic on Bitmap's canvas with its top-left at (X, Y), honouring the graphic's own
// transparency; returns Bitmap.
TBitmap* DrawGraphicAt(int X, int Y, TGraphic* Graphic, TBitmap* Bitmap);
// Draws Cast centred on Centre and moved by Offset onto Bitmap: where every composition puts
// a cast, on the working canvas (no offset) or on an output frame (OutputOffset()).
void DrawCastCentred(TBitmap& Bitmap, TGraphic& Cast, TPoint Centre, TPoint Offset);

// Tweens: the frames A..B of one channel filled from the run's two end cells; every frame
// written becomes a set cell. Each does nothing when its ends do not allow it.
// A straight line from A's position to B's, over at least one frame between them.
void LinearTween(int A, int B, TScoreChannel& Channel);
// Once round the ellipse in the box the two ends span, from its bottom centre.
void RotationTween(int A, int B, TScoreChannel& Channel);
// The position of A, or of B when A's cell is empty, held over the whole run.
void HoldTween(int A, int B, TScoreChannel& Channel);
