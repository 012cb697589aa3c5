// The pictures of the text light: the light sprite with its gradient, the text image with
// its shadow, the text-colour base, and one preview frame composed from the three. Nothing
// here touches a window: the form reads its controls into these settings.
#pragma once

#include <string>

#include "imagelib/KvDIB.h"

// Looks of the light sprite.
struct TLightStyle {
    int Size = 52;      // width, and the height of the round light
    int TextHeight = 0; // height of the square light: the text's height
    int Steps = 20;     // gradient steps; Steps + 1 boxes are drawn
    bool Square = false;
    TColor TextColor = clBlack;
    TColor LightColor = clWhite;
};

// Looks of the text image.
struct TTextStyle {
    std::string Text;
    TFont Font; // its colour is not used: the text and shadow colours are
    TColor TextColor = clBlack;
    TColor BackgroundColor = 0x808040;
    TColor ShadowColor = 0x800000;
    bool Shadow = false;
    int ShadowX = 5;
    int ShadowY = 5;
    int MarginX = 0; // left plus right
    int MarginY = 0; // top plus bottom
};

// The colour of gradient step Step of Steps between From and To, each component
// From + Trunc((To - From) / Steps * Step).
TColor GradientColor(TColor From, TColor To, int Steps, int Step);

// Draws the light sprite into Light (24 bits per pixel).
void DrawLightSprite(TKvDIB& Light, const TLightStyle& Style);

// Draws the text image into Text (24 bits per pixel), measuring the text on Measure. An
// image of no width or height is refused by the picture's size check.
void DrawTextImage(TKvDIB& Text, const TTextStyle& Style, TCanvas& Measure);

// The last pixel of Color in row order (top row first, left to right) becomes Point; when
// none has it Point is left alone.
void FindColorPoint(TKvDIB& Picture, TColor Color, TPoint& Point);

// Base becomes a picture of Text's size and format filled with Color.
void FillBase(TKvDIB& Base, TKvDIB& Text, TColor Color);

// Where the preview's light stands and how it moves.
struct TLightMotion {
    int X = 0;
    int Y = 0;
    int Step = 0;
};

// The motion at the start of a pass: the light just left of the text, centred vertically,
// moving (base width + light width) div Steps pixels per frame.
TLightMotion StartLightMotion(TKvDIB& Base, TKvDIB& Light, int Steps);
// The light's next left edge: it starts again left of the text once it reached TextWidth.
int NextLightX(int X, int Step, int TextWidth, int LightWidth);

// The text as every preview frame draws it: Text in the display's format, its colour at
// TransPoint left out (nothing left out when TransPoint lies outside the text, as the editor
// shows the text cast of the score file).
void MakeTextLayer(TBitmap& Layer, TKvDIB& Text, TPoint TransPoint);
// One preview frame into Frame: the base in the text colour, the light at (LightX, LightY)
// and the text layer over both.
void ComposeLightFrame(TBitmap& Frame, TBitmap& TextLayer, TKvDIB& Base, TKvDIB& Light, int LightX,
                       int LightY, TColor TextColor);
