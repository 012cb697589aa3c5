// Transitions: the rule of each kind, applied to 24-bit copies of the cast, and the run that
// stores the series in the cast slots.
#include "editor/model/effectstransition.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include "editor/model/casts.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/ScopeExit.h"

namespace {

// Row Y of a 24-bit picture; writers make the picture their own first.
std::uint8_t* Row(TKvDIB& Dib, int Y) {
    return DIBScanLine(Dib.InternalDIB->Infos, Y);
}

void PutColor(std::uint8_t* Pixel, TColor Color) {
    Pixel[0] = GetBValue(Color);
    Pixel[1] = GetGValue(Color);
    Pixel[2] = GetRValue(Color);
}

TColor ColorOf(const std::uint8_t* Pixel) {
    return RGB(Pixel[2], Pixel[1], Pixel[0]);
}

// Rounds to the nearest integer, halves to even.
int Rounded(double Value) {
    return static_cast<int>(std::nearbyint(Value));
}

// The fixed values of one run.
struct TEffectRun {
    TEffectKind Kind = ekBlindsH;
    int Steps = 1;
    // The source's width or height divided by Steps, rounded up, by the kind's measure.
    int Q = 1;
    TColor Key = 0;
    bool Transparent = false;
    // The frame beneath (empty unless overlapping) and the cast's top-left on it.
    TKvDIB* Composite = nullptr;
    TPoint Origin{};
};

class TEffectPainter {
public:
    TEffectPainter(const TEffectRun& Run, TKvDIB& Source, TKvDIB& Output)
        : FRun(Run), FSource(Source), FOutput(Output), FWidth(Source.GetWidth()),
          FHeight(Source.GetHeight()) {}

    // Builds picture R in the output. Picture 0 is the source for every kind; the blinds
    // add to the picture before.
    void Paint(int R) {
        if (R == 0 || !Accumulates()) ResetToSource();
        if (R == 0) return;
        const int steps = FRun.Steps;
        const int q = FRun.Q;
        const int w = FWidth;
        const int h = FHeight;
        const int d = R * q / 2;
        switch (FRun.Kind) {
        case ekBlindsH:
            for (int n = 0; n <= q; ++n)
                Fill(TRect{0, n * steps + R - 1, w, n * steps + R});
            break;
        case ekBlindsV:
            for (int n = 0; n <= q; ++n)
                Fill(TRect{n * steps + R - 1, 0, n * steps + R, h});
            break;
        case ekSlideH1:
            Fill(TRect{0, 0, R * q, h});
            break;
        case ekSlideH2:
            Fill(TRect{(steps - R) * q, 0, steps * q, h});
            break;
        case ekSlideV1:
            Fill(TRect{0, 0, w, R * q});
            break;
        case ekSlideV2:
            Fill(TRect{0, (steps - R) * q, w, h});
            break;
        case ekCenterWarpH1:
            Fill(TRect{w / 2 - d, 0, w / 2 + d, h});
            break;
        case ekCenterWarpH2:
            Fill(TRect{0, 0, d, h});
            Fill(TRect{w - d, 0, w, h});
            break;
        case ekCenterWarpV1:
            Fill(TRect{0, h / 2 - d, w, h / 2 + d});
            break;
        case ekCenterWarpV2:
            Fill(TRect{0, 0, w, d});
            Fill(TRect{0, h - d, w, h});
            break;
        case ekOverlap:
            Overlap(R);
            break;
        case ekRotate:
            Rotate(R);
            break;
        case ekZoom:
            Zoom(R);
            break;
        case ekMosaic:
            Mosaic(R);
            break;
        case ekScrollH:
            ScrollH(R * q);
            break;
        case ekScrollV:
            ScrollV(R * q);
            break;
        }
    }

private:
    bool Accumulates() const { return FRun.Kind == ekBlindsH || FRun.Kind == ekBlindsV; }

    void ResetToSource() {
        FOutput.Assign(&FSource);
        FOutput.UniqueDIB();
    }

    // Fills Rect, clipped to the output, with Color.
    void Fill(TRect Rect, TColor Color) {
        const int left = std::max(Rect.Left, 0);
        const int right = std::min(Rect.Right, FOutput.GetWidth());
        const int top = std::max(Rect.Top, 0);
        const int bottom = std::min(Rect.Bottom, FOutput.GetHeight());
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* row = Row(FOutput, y);
            for (int x = left; x < right; ++x)
                PutColor(row + 3 * x, Color);
        }
    }
    void Fill(TRect Rect) { Fill(Rect, FRun.Key); }

    // Each pixel moves R / Steps of the way toward the frame beneath it; a transparent cast's
    // key-coloured pixels stay as they are.
    void Overlap(int R) {
        TKvDIB* composite = FRun.Composite;
        if (composite == nullptr) return;
        const int left = std::max(0, -FRun.Origin.X);
        const int right = std::min(FWidth, composite->GetWidth() - FRun.Origin.X);
        const int top = std::max(0, -FRun.Origin.Y);
        const int bottom = std::min(FHeight, composite->GetHeight() - FRun.Origin.Y);
        const double steps = FRun.Steps;
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* out = Row(FOutput, y);
            const std::uint8_t* beneath = Row(*composite, FRun.Origin.Y + y);
            for (int x = left; x < right; ++x) {
                std::uint8_t* p = out + 3 * x;
                if (FRun.Transparent && ColorOf(p) == FRun.Key) continue;
                const std::uint8_t* b = beneath + 3 * (FRun.Origin.X + x);
                for (int i = 0; i < 3; ++i)
                    p[i] = static_cast<std::uint8_t>(p[i] +
                                                     static_cast<int>(std::trunc((b[i] - p[i]) / steps * R)));
            }
        }
    }

    // Turns the source clockwise on an enlarged picture; what lies outside it is key colour.
    void Rotate(int R) {
        const double degrees = static_cast<double>(360 / (FRun.Steps + 1) * R);
        const double theta = degrees * std::numbers::pi / 180.0;
        const double c = std::cos(theta);
        const double sn = std::sin(theta);
        const int width = Rounded(std::abs(FWidth * c) + std::abs(FHeight * sn)) + 1;
        const int height = Rounded(std::abs(FWidth * sn) + std::abs(FHeight * c)) + 1;
        FOutput.SetWidth(width);
        FOutput.SetHeight(height);
        FOutput.UniqueDIB();
        const int cx = width / 2;
        const int cy = height / 2;
        for (int y = 0; y < height; ++y) {
            // Stepped along the row, started afresh on every row.
            double u = FWidth / 2.0 + (0 - cx) * c + (y - cy) * sn;
            double v = FHeight / 2.0 - (0 - cx) * sn + (y - cy) * c;
            std::uint8_t* out = Row(FOutput, y);
            for (int x = 0; x < width; ++x) {
                const int ux = Rounded(u);
                const int vy = Rounded(v);
                if (ux >= 0 && ux < FWidth && vy >= 0 && vy < FHeight)
                    std::memcpy(out + 3 * x, Row(FSource, vy) + 3 * ux, 3);
                else
                    PutColor(out + 3 * x, FRun.Key);
                u += c;
                v -= sn;
            }
        }
    }

    // The source shrunk toward the centre on a key-coloured picture.
    void Zoom(int R) {
        Fill(TRect{0, 0, FWidth, FHeight});
        const int dx = FWidth / 2 / FRun.Steps * R;
        const int dy = FHeight / 2 / FRun.Steps * R;
        if (FWidth - 2 * dx <= 0 || FHeight - 2 * dy <= 0) return;
        TKvDIBCanvas canvas(&FOutput);
        canvas.StretchDraw(TRect{dx, dy, FWidth - dx, FHeight - dy}, &FSource);
    }

    // Blocks of R + 1 pixels, each in the colour of its bottom-right pixel. A block that would
    // start on the last column or row is left out.
    void Mosaic(int R) {
        const int b = R + 1;
        for (int y0 = 0; y0 < FHeight - 1; y0 += b)
            for (int x0 = 0; x0 < FWidth - 1; x0 += b) {
                const int sx = std::min(x0 + R, FWidth - 1);
                const int sy = std::min(y0 + R, FHeight - 1);
                Fill(TRect{x0, y0, x0 + b, y0 + b}, ColorOf(Row(FOutput, sy) + 3 * sx));
            }
    }

    // The first source column (row) shown: Shift when it lies inside the picture, else 0.
    static int Start(int Shift, int Size) { return Shift > Size - 1 ? 0 : Shift; }

    void ScrollH(int Shift) {
        const int start = Start(Shift, FWidth);
        const std::size_t head = static_cast<std::size_t>(FWidth - start) * 3;
        for (int y = 0; y < FHeight; ++y) {
            const std::uint8_t* from = Row(FSource, y);
            std::uint8_t* to = Row(FOutput, y);
            std::memcpy(to, from + 3 * start, head);
            std::memcpy(to + head, from, static_cast<std::size_t>(start) * 3);
        }
    }

    void ScrollV(int Shift) {
        const int start = Start(Shift, FHeight);
        const std::size_t rowBytes = static_cast<std::size_t>(FWidth) * 3;
        for (int y = 0; y < FHeight; ++y)
            std::memcpy(Row(FOutput, y), Row(FSource, (start + y) % FHeight), rowBytes);
    }

    const TEffectRun& FRun;
    TKvDIB& FSource;
    TKvDIB& FOutput;
    const int FWidth;
    const int FHeight;
};

bool MeasuresHeight(TEffectKind Kind) {
    switch (Kind) {
    case ekBlindsH:
    case ekSlideV1:
    case ekSlideV2:
    case ekCenterWarpV1:
    case ekCenterWarpV2:
    case ekScrollV:
        return true;
    default:
        return false;
    }
}

void Report(const std::function<void(int)>& Step, int Value) {
    if (Step) Step(Value);
}

} // namespace

void MakeEffectCasts(TEditorDocument& Document, int Kind, bool Reversed, int Steps, int Slot, int Channel,
                     int ScoreColumn, const TEffectProgress& Progress) {
    if (Kind < 0 || Kind >= EffectKindCount || Steps < 1 || Slot < 0 || Slot + Steps > CastSlotCount - 1)
        return;
    if (Channel < 0 || Channel >= ChannelCount) return;
    TScoreChannel& channel = Document.Channels[Channel];
    const int frame = ScoreColumn - 1;
    const auto kind = static_cast<TEffectKind>(Kind);
    if (kind == ekOverlap && (frame < 0 || frame >= ScoreFrameCount || !channel.CellSet[frame])) return;
    TBitmap* cast = channel.Cast(Slot);
    if (cast == nullptr) return;

    // The series takes slots Slot..Slot + Steps, each a picture of the cast's size: a series
    // the document cannot hold is refused before anything of it is made.
    const TPictureFits fits = CastPicturesFit(Document, Channel, Slot, Steps + 1);
    for (int r = 0; r <= Steps; ++r)
        if (!fits(cast->Width(), cast->Height())) throw EOutOfResources(SOutOfResources);

    // Also after a failure the strip counts what was stored and the bar is cleared.
    const TScopeExit finish([&] {
        channel.RecountCasts();
        Report(Progress.SetPosition, 0);
    });

    TKvDIB source;
    source.Assign(cast);
    source.SetPixelFormat(kvpf24Bit);
    TKvDIB output;
    output.Assign(&source);
    const TPoint keyPoint = channel.CastKeyPoint[Slot];
    TEffectRun run;
    run.Kind = kind;
    run.Steps = Steps;
    run.Key = static_cast<TColor>(source.GetPixels(keyPoint.X, keyPoint.Y));
    run.Transparent = channel.CastTransparent[Slot];

    TKvDIB composite;
    if (kind == ekOverlap) {
        std::unique_ptr<TBitmap> beneath = Document.ComposeFrame(frame, Channel - 1);
        if (!beneath->Empty()) {
            composite.Assign(beneath.get());
            composite.SetPixelFormat(kvpf24Bit);
            run.Composite = &composite;
        }
        const TPoint centre = channel.Positions[frame];
        run.Origin = TPoint{centre.X - source.GetWidth() / 2, centre.Y - source.GetHeight() / 2};
    }

    const int measure = MeasuresHeight(kind) ? source.GetHeight() : source.GetWidth();
    run.Q = (measure + Steps - 1) / Steps;
    Report(Progress.SetMax, Steps);

    TEffectPainter painter(run, source, output);
    for (int r = 0; r <= Steps; ++r) {
        painter.Paint(r);
        // Each slot takes a copy of the picture with the source's key point and transparency.
        channel.StoreCast(Reversed ? Slot + Steps - r : Slot + r, output, run.Transparent, keyPoint);
        Report(Progress.SetPosition, r);
    }
}
