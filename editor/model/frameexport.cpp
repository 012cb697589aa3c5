#include "editor/model/frameexport.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "gif/colorquant.h"
#include "editor/model/composedframes.h"
#include "editor/model/framechanges.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/FilePaths.h"

int LastExportFrame(const TEditorDocument& Document) {
    int last = 0;
    for (const TScoreChannel& channel : Document.Channels) {
        if (channel.CastCount == 0) continue;
        for (int f = ScoreFrameCount - 1; f > last; --f)
            if (channel.CellSet[f]) {
                last = f;
                break;
            }
    }
    return last;
}

int ExportColorDepth(int ColorChoice) {
    if (ColorChoice <= 0) return HalftoneDepth;
    return 9 - std::min(ColorChoice, 6);
}

std::string ExportTargetName(const std::string& Chosen, int FilterIndex) {
    const std::size_t dot = ExtensionDot(Chosen);
    const bool hasDot = dot != std::string::npos;
    switch (FilterIndex) {
    case 1:
    case 2:
        return hasDot ? Chosen : Chosen + ".gif";
    case 3:
    case 4:
        return hasDot ? Chosen.substr(0, dot) : Chosen;
    case 5:
        return hasDot ? Chosen : Chosen + ".avi";
    default:
        return Chosen;
    }
}

void ComposeExportFrame(const TEditorDocument& Document, int Frame, TKvDIB& Work) {
    const std::unique_ptr<TBitmap> frame = Document.ComposeOutputFrame(Frame);
    Work.Assign(frame.get());
}

TKvDIB& DrawCastOnDIB(const TEditorDocument& Document, TKvDIB& Dib, TGraphic& Cast, TPoint Position) {
    TBitmap bitmap;
    bitmap.Assign(&Dib);
    bitmap.SetPixelFormat(pfDevice);
    DrawCastCentred(bitmap, Cast, Position, Document.OutputOffset());
    Dib.Assign(&bitmap);
    return Dib;
}

namespace {

// One run of the export: the working bitmaps, the GIF file being written, the common palette
// and the frames kept for it.
class TFrameExporter {
public:
    TFrameExporter(const TEditorDocument& Document, const TFrameExportSettings& Settings,
                   const TExportProgress& Progress)
        : FDocument(Document), FSettings(Settings), FProgress(Progress),
          FDepth(ExportColorDepth(Settings.Gif.ColorChoice)),
          FCommonPalette(Settings.Gif.CommonPalette && FDepth != HalftoneDepth) {
        if (Settings.Mode < emAnimatedGif || Settings.Mode > emSingleBmp) throw ERangeError(SRangeError);
        if (Settings.Mode == emStillGif || Settings.Mode == emSingleBmp) {
            FFirst = FLast = std::clamp(Settings.CurrentFrame, 0, ScoreFrameCount - 1);
        } else {
            FFirst = 0;
            FLast = LastExportFrame(Document);
        }
    }

    void Run(const std::string& Name) {
        // The GIF goes to a temporary file beside the target as it is made, and replaces
        // the target only once it is complete and on the disk; a folder that takes no file
        // shows before any frame is composed.
        if (IsGif()) FGifFile = std::make_unique<TFileStream>(Name, fmCreate);
        Report(FProgress.SetMax, FLast);
        if (FCommonPalette) BuildCommonPalette();
        Report(FProgress.SetPosition, 0);
        for (int f = FFirst; f <= FLast; ++f) {
            // FWork still holds the frame before, which a kept frame is restored from.
            if (FComposed == nullptr || !FComposed->Restore(f - FFirst, FWork))
                ComposeExportFrame(FDocument, f, FWork);
            if (IsGif()) {
                WriteGifFrame(f);
                if (FGif.GetSize() >= GifFileChunk) PassGifToFile();
            } else {
                WriteBmpFrame(Name, f);
            }
            Report(FProgress.SetPosition, f);
        }
        if (IsGif()) {
            FGifWriter.WriteGifTrailer(FGif);
            PassGifToFile();
            FGifFile->Commit();
        }
    }

private:
    bool IsGif() const { return FSettings.Mode == emAnimatedGif || FSettings.Mode == emStillGif; }

    static void Report(const std::function<void(int)>& Step, int Value) {
        if (Step) Step(Value);
    }

    // The writers build the GIF in memory a frame or so at a time; the file gets it in
    // pieces of this size at least, and the memory is used again for the next piece.
    static constexpr std::int64_t GifFileChunk = 64 * 1024;

    void PassGifToFile() {
        FGif.SaveToStream(*FGifFile);
        FGif.Clear();
    }

    // One histogram over every frame of the range, and over the S-size colour, which later
    // frames paint where nothing changed. A pixel counts once for every frame it stays in,
    // so each frame adds only what it changed, for itself and the frames after it. The
    // frames are kept for the output pass as far as the room allows.
    void BuildCommonPalette() {
        FQuantizer.Depth = FDepth;
        AllocQuantizer(FQuantizer);
        FComposed = std::make_unique<TComposedFrames>(ComposedFramesRoom);
        TKvDIB before;
        for (int f = FFirst; f <= FLast; ++f) {
            ComposeExportFrame(FDocument, f, FWork);
            FComposed->BeginFrame();
            const int staying = FLast - f + 1;
            if (f == FFirst) {
                for (int y = 0; y < FWork.GetHeight(); ++y)
                    AddPixelsToQuantizer(FWork, y, 0, FWork.GetWidth() - 1, staying, FQuantizer);
            } else {
                ForEachChangedRun(FWork, before, [&](int Y, int Left, int Right) {
                    AddPixelsToQuantizer(FWork, Y, Left, Right, staying, FQuantizer);
                    AddPixelsToQuantizer(before, Y, Left, Right, -staying, FQuantizer);
                    FComposed->AddRun(FWork, Y, Left, Right);
                });
            }
            before.Assign(&FWork);
            Report(FProgress.SetPosition, f);
        }
        if (FSettings.SSizeOptimised) {
            FillFrame(FWork, FSettings.SSizeColor);
            AddImageToQuantizer(FWork, FQuantizer);
        }
        BuildQuantizerPalette(FQuantizer);
    }

    // The export itself holds three frames of 24 bits (the composed one, its reduced copy and
    // the one written before) and some working memory; the kept frames take at most 8 MB,
    // half of what a command may use beyond one and a half times the pictures it keeps.
    static constexpr std::size_t ComposedFramesRoom = std::size_t(8) << 20;

    void Reduce(TKvDIB& Bitmap) {
        if (FDepth == HalftoneDepth) {
            Bitmap.SetPixelFormat(kvpfHalfTone);
        } else if (FCommonPalette) {
            MapToQuantizerPalette(Bitmap, FQuantizer);
        } else {
            TColorQuantizer own;
            own.Depth = FDepth;
            AllocQuantizer(own);
            AddImageToQuantizer(Bitmap, own);
            BuildQuantizerPalette(own);
            MapToQuantizerPalette(Bitmap, own);
            FreeQuantizer(own);
        }
    }

    // The reduced frame's index at the frame's transparency point, -1 when it has none.
    int FramePointIndex(int Frame) {
        const TPoint point = FDocument.FramePoints[Frame];
        if (point.X < 0 || point.X >= FOut.GetWidth() || point.Y < 0 || point.Y >= FOut.GetHeight())
            return -1;
        return FOut.GetPixels(point.X, point.Y);
    }

    void WriteGifFrame(int Frame) {
        const int width = FWork.GetWidth(), height = FWork.GetHeight();
        const int mode = FSettings.Mode;
        const bool sizeOptimised = FSettings.SizeOptimised;
        FOut.Assign(&FWork);
        if (Frame == FFirst) {
            Reduce(FOut);
            FGifWriter.WriteGifHeader(FOut, FGif, mode, FSettings.Gif);
            FGifWriter.WriteGifFrameHeader(FOut, FGif, FramePointIndex(Frame), FDocument.FrameWaits[Frame], 0,
                                           0, width, height, mode, sizeOptimised, FSettings.Gif);
            FGifWriter.WriteGifImageData(FOut, FGif, 0, 0, width - 1, height - 1);
            FPrev.Assign(&FWork);
            return;
        }

        TRect changed;
        GetChangedRect(FOut, FPrev, changed);
        // A frame equal to the one before is left out, and its wait with it.
        if (changed.Right < changed.Left || changed.Bottom < changed.Top) return;

        // The S-size paint relies on the frame before staying on screen, which only a
        // size-optimised animation (no disposal) does.
        std::optional<TPoint> unchanged;
        if (FSettings.SSizeOptimised && sizeOptimised)
            unchanged = PaintUnchangedPixels(FOut, FPrev, FSettings.SSizeColor, FPainted);
        Reduce(FOut);
        int transparent = FramePointIndex(Frame);
        if (unchanged) {
            const int index = FOut.GetPixels(unchanged->X, unchanged->Y);
            if (TransparencyCoversPainted(FOut, FPainted, changed, index)) {
                transparent = index;
            } else {
                // The reduction merged the S-size colour with a changed pixel, or did not keep
                // it as one index: transparency would show wrong pixels, so the frame goes out
                // as composed.
                FOut.Assign(&FWork);
                Reduce(FOut);
                transparent = FramePointIndex(Frame);
            }
        }
        if (!sizeOptimised) changed = TRect{0, 0, width - 1, height - 1};
        FGifWriter.WriteGifFrameHeader(FOut, FGif, transparent, FDocument.FrameWaits[Frame], changed.Left,
                                       changed.Top, changed.Right - changed.Left + 1,
                                       changed.Bottom - changed.Top + 1, mode, sizeOptimised, FSettings.Gif);
        FGifWriter.WriteGifImageData(FOut, FGif, changed.Left, changed.Top, changed.Right, changed.Bottom);
        FPrev.Assign(&FWork);
    }

    // The composed frame stays as it is: the next frame may be restored from it.
    void WriteBmpFrame(const std::string& Name, int Frame) {
        FOut.Assign(&FWork);
        Reduce(FOut);
        if (FSettings.Mode == emSingleBmp) {
            FOut.SaveToFile(Name + ".bmp");
            return;
        }
        char number[8];
        std::snprintf(number, sizeof number, "%03d", Frame);
        FOut.SaveToFile(Name + number + ".bmp");
    }

    const TEditorDocument& FDocument;
    const TFrameExportSettings& FSettings;
    const TExportProgress& FProgress;
    const int FDepth;
    const bool FCommonPalette;
    int FFirst = 0;
    int FLast = 0;
    // The composed frame, its reduced copy that is written, and the last composed frame
    // that was written.
    TKvDIB FWork, FOut, FPrev;
    TMemoryStream FGif;
    std::unique_ptr<TFileStream> FGifFile;
    TGifWriter FGifWriter;
    TColorQuantizer FQuantizer;
    std::unique_ptr<TComposedFrames> FComposed;
    std::vector<std::uint8_t> FPainted;
};

} // namespace

bool ExportFrames(const TEditorDocument& Document, const std::string& Name,
                  const TFrameExportSettings& Settings, const TExportProgress& Progress) {
    if (Document.CanvasBitmap == nullptr) return false;
    TFrameExporter exporter(Document, Settings, Progress);
    exporter.Run(Name);
    return true;
}
