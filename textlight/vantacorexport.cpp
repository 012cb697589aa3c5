// Saving the text light as a current-version score file.
#include "textlight/vantacorexport.h"

#include "textlight/vantacor.h"
#include "toolkit/widgets/MessageBoxes.h"

namespace {

// The editor's canvas puts the main image's top-left pixel at (50, 50).
constexpr int CanvasOffset = 50;
constexpr TPoint NoKeyPoint{-1, 0};
constexpr int TextChannel = 1;

// Frames 0..StepCount - 1 are set at Centre(frame); the other frames are empty and keep
// (0, LightY).
template <class TCentre>
void FillChannel(TScoreChannelRecord& Record, const TTextLightMotion& Motion, TCentre Centre) {
    Record.Positions.fill(TPoint{0, Motion.LightY});
    Record.CellSet.fill(false);
    for (int frame = 0; frame < Motion.StepCount && frame < ScoreFrameCount; ++frame) {
        Record.CellSet[frame] = true;
        Record.Positions[frame] = Centre(frame);
    }
    Record.CastTransparent.fill(false);
    Record.CastTransparent[0] = true;
    Record.CastKeyPoint.fill(NoKeyPoint);
}

} // namespace

TScoreTail TextLightScoreTail(int LightWidth, int LightHeight, int TextWidth, int TextHeight,
                              const TTextLightMotion& Motion) {
    TScoreTail tail;
    // The light's centre where the preview's light stands after the frame's ticks.
    FillChannel(tail.Channels[0], Motion, [&](int Frame) {
        return TPoint{Frame * Motion.LightStep - LightWidth + LightWidth / 2 + CanvasOffset,
                      Motion.LightY + LightHeight / 2 + CanvasOffset};
    });
    // The text centred on the main image, its text colour see-through.
    TScoreChannelRecord text;
    FillChannel(text, Motion, [&](int) {
        return TPoint{TextWidth / 2 + CanvasOffset, TextHeight / 2 + CanvasOffset};
    });
    text.CastKeyPoint[0] = Motion.TransPoint;
    for (int ch = TextChannel; ch < ChannelCount; ++ch)
        tail.Channels[ch] = text;
    tail.FrameWaits.fill(0);
    tail.FramePoints.fill(TPoint{0, 0});
    return tail;
}

void WriteTextLightScore(TStream& Stream, TKvDIB& Base, TKvDIB& Light, TKvDIB& Text,
                         const TTextLightMotion& Motion) {
    TScoreTail tail =
        TextLightScoreTail(Light.GetWidth(), Light.GetHeight(), Text.GetWidth(), Text.GetHeight(), Motion);
    WriteScoreMagic(Stream);
    tail.MainImageSize = WriteScorePicture(Stream, Base);
    tail.CastImageSizes[0] = WriteScorePicture(Stream, Light);
    tail.CastImageSizes[TextChannel * CastSlotCount] = WriteScorePicture(Stream, Text);
    WriteScoreTail(Stream, tail);
}

// The file is written whole to a temporary file and renamed over the target at the end, so
// a failed save leaves any earlier file of that name as it was.
void TForm1::Button4Click(TObject*) {
    if (!Rendered) return;
    if (!SaveDialog1->Execute()) return;
    TFileStream file(SaveDialog1->GetFileName(), fmCreate);
    WriteTextLightScore(file, *BaseDIB, *LightDIB, *TextDIB,
                        TTextLightMotion{StepCount, LightStep, LightY, TransPoint});
    file.Commit();
    ShowMessage("保存しました");
}
