// Rendering of the text light's pictures and of its preview frames.
#include "textlight/vantacorrender.h"

#include <cmath>

#include "editor/model/effects.h"

namespace {

std::uint8_t GradientComponent(int From, int To, int Steps, int Step) {
    // Divided first, then multiplied, and cut toward zero: the light colour is reached
    // only where the floating-point product comes out whole.
    const double slope = double(To - From) / double(Steps);
    return static_cast<std::uint8_t>(From + static_cast<int>(std::trunc(slope * double(Step))));
}

void FillWhole(TCanvas& Canvas, int Width, int Height, TColor Color) {
    Canvas.Brush.Color = Color;
    Canvas.Brush.Style = bsSolid;
    Canvas.FillRect(Rect(0, 0, Width, Height));
}

} // namespace

TColor GradientColor(TColor From, TColor To, int Steps, int Step) {
    return RGB(GradientComponent(GetRValue(From), GetRValue(To), Steps, Step),
               GradientComponent(GetGValue(From), GetGValue(To), Steps, Step),
               GradientComponent(GetBValue(From), GetBValue(To), Steps, Step));
}

void DrawLightSprite(TKvDIB& Light, const TLightStyle& Style) {
    Light.SetWidth(Style.Size);
    Light.SetHeight(Style.Square ? Style.TextHeight : Style.Size);
    Light.SetPixelFormat(kvpf24Bit);
    const int width = Light.GetWidth();
    const int height = Light.GetHeight();
    // The boxes are drawn on a bitmap of the display's format, which a canvas draws on as it
    // stands, and the sprite goes onto the light in one piece: through a canvas on the light
    // itself every box would take the whole picture to that format and back.
    TBitmap sprite;
    sprite.SetPixelFormat(pfDevice);
    sprite.SetSize(width, height);
    TCanvas& canvas = *sprite.Canvas();
    FillWhole(canvas, width, height, Style.TextColor);
    // Boxes past the middle have crossed corners; the canvas draws them normalised, so
    // with more steps than half the size the later steps grow again from the middle.
    for (int step = 0; step <= Style.Steps; ++step) {
        const TColor color = GradientColor(Style.TextColor, Style.LightColor, Style.Steps, step);
        canvas.Brush.Color = color;
        canvas.Pen.Color = color;
        if (Style.Square)
            canvas.Rectangle(step, 0, width - step, height);
        else
            canvas.Ellipse(step, step, Style.Size - step, Style.Size - step);
    }
    TKvDIBCanvas light(&Light);
    light.Draw(0, 0, &sprite);
}

void DrawTextImage(TKvDIB& Text, const TTextStyle& Style, TCanvas& Measure) {
    Measure.Font = Style.Font;
    const int textWidth = Measure.TextWidth(Style.Text);
    const int textHeight = Measure.TextHeight(Style.Text);
    const int marginX = Style.MarginX + textWidth < 0 ? 0 : Style.MarginX;
    const int marginY = textHeight + Style.MarginY < 0 ? 0 : Style.MarginY;

    Text.SetWidth(textWidth + marginX);
    Text.SetHeight(textHeight + marginY);
    Text.SetPixelFormat(kvpf24Bit);
    const int x0 = marginX / 2;
    const int y0 = marginY / 2;

    TKvDIBCanvas canvas(&Text);
    FillWhole(canvas, Text.GetWidth(), Text.GetHeight(), Style.BackgroundColor);
    canvas.Brush.Style = bsClear;
    canvas.Font = Style.Font;
    if (Style.Shadow) {
        canvas.Font.Color = Style.ShadowColor;
        canvas.TextOut(x0 + Style.ShadowX, y0 + Style.ShadowY, Style.Text);
    }
    canvas.Font.Color = Style.TextColor;
    canvas.TextOut(x0, y0, Style.Text);
}

void FindColorPoint(TKvDIB& Picture, TColor Color, TPoint& Point) {
    DIBAssert(Picture.GetBitCount() == 24, "FindColorPoint: Picture Should be 24 Bits per Pixel");
    const TKvDIBInfos& infos = Picture.InternalDIB->Infos;
    const int width = Picture.GetWidth();
    const int height = Picture.GetHeight();
    const std::uint8_t red = GetRValue(Color), green = GetGValue(Color), blue = GetBValue(Color);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = DIBScanLine(infos, y);
        for (int x = 0; x < width; ++x, row += 3)
            if (row[0] == blue && row[1] == green && row[2] == red) Point = TPoint{x, y};
    }
}

void FillBase(TKvDIB& Base, TKvDIB& Text, TColor Color) {
    Base.Assign(&Text);
    TKvDIBCanvas canvas(&Base);
    FillWhole(canvas, Base.GetWidth(), Base.GetHeight(), Color);
}

TLightMotion StartLightMotion(TKvDIB& Base, TKvDIB& Light, int Steps) {
    TLightMotion motion;
    motion.X = -Light.GetWidth();
    motion.Y = (Base.GetHeight() - Light.GetHeight()) / 2;
    motion.Step = (Base.GetWidth() + Light.GetWidth()) / Steps;
    return motion;
}

int NextLightX(int X, int Step, int TextWidth, int LightWidth) {
    X += Step;
    return X >= TextWidth ? -LightWidth : X;
}

void MakeTextLayer(TBitmap& Layer, TKvDIB& Text, TPoint TransPoint) {
    Layer.Assign(&Text);
    Layer.SetPixelFormat(pfDevice);
    // Drawn as the editor draws the text cast of the score file, whose key point this is.
    SetKeyColor(Layer, true, TransPoint);
}

void ComposeLightFrame(TBitmap& Frame, TBitmap& TextLayer, TKvDIB& Base, TKvDIB& Light, int LightX,
                       int LightY, TColor TextColor) {
    // The frame starts as the base, which is filled whole anyway: only its size is taken.
    Frame.SetPixelFormat(pfDevice);
    Frame.SetSize(Base.GetWidth(), Base.GetHeight());
    TCanvas* canvas = Frame.Canvas();
    FillWhole(*canvas, Frame.GetWidth(), Frame.GetHeight(), TextColor);
    canvas->Draw(LightX, LightY, &Light);
    canvas->Draw(0, 0, &TextLayer);
}
