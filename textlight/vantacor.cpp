// The window's components and handlers: rendering from the controls, the run, stop and
// resume of the preview, the font and colour choices.
#include "textlight/vantacor.h"

#include "textlight/vantacorrender.h"
#include "toolkit/widgets/BindHandler.h"
#include "toolkit/widgets/MessageBoxes.h"

TForm1* Form1 = nullptr;

std::unique_ptr<TKvDIB> TextDIB;
std::unique_ptr<TKvDIB> LightDIB;
std::unique_ptr<TKvDIB> BaseDIB;
int LightX = 0;
int LightY = 0;
int LightStep = 0;
int StepCount = 0;
bool Rendered = false;
TPoint TransPoint;

namespace {

// TextDIB as the preview frames draw it, made at the first tick after each render of the
// text: every frame draws the same text.
std::unique_ptr<TBitmap> TextLayer;

// The band of controls between the text box and the preview.
constexpr int BandTop = 113;
constexpr int SettingsLeft = 248;
constexpr int SettingsColumn = 104;

} // namespace

TForm1::TForm1() {
    SetCaption("COR-VANTA v1.2");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBounds(43, 154, 646, 393);
    CreateTextBox();
    CreateButtonsAndSwatches();
    CreateSettings();
    CreatePreview();
    BindHandlers();
}

// A window destroyed without closing (the end of the message loop) lets go of the pictures
// too: they must not outlive the image library's storage.
TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
    FreePictures();
}

void TForm1::CreateTextBox() {
    ScrollBox2 = FParts.Make<TScrollBox>("ScrollBox2", this);
    ScrollBox2->SetHeight(113);
    ScrollBox2->SetAlign(alTop);
    Edit1 = FParts.Make<TEdit>("Edit1", ScrollBox2);
    Edit1->SetAlign(alClient);
    TFont font = ShiftJisFont("ＭＳ Ｐゴシック", -35);
    font.Style = fsBold;
    font.Color = clBlack;
    Edit1->SetFont(font);
    Edit1->SetText("Palvenor");
}

void TForm1::CreateButtonsAndSwatches() {
    auto button = [this](const char* Name, int Row, const char* Caption) {
        const int top = BandTop + 2 + Row * 21;
        return FParts.MakeButton(Name, this, Rect(4, top, 76, top + 20), Caption);
    };
    Button1 = button("Button1", 0, "実行");
    Button2 = button("Button2", 1, "フォント変更");
    Button3 = button("Button3", 2, "停止/再開");
    Button4 = button("Button4", 3, "ファイル保存");
    Button4->SetEnabled(false);

    auto swatch = [this](const char* LabelName, TLabel*& Label, const char* Name, int Column, int Row,
                         const char* Caption, TColor Color) {
        const int left = 80 + Column * 82;
        const int top = BandTop + 2 + Row * 19;
        Label = FParts.MakeLabel(LabelName, this, left, top + 2, Caption);
        auto* shape = FParts.Make<TShape>(Name, this);
        shape->SetBounds(left + 38, top, 40, 17);
        shape->SetBrushColor(Color);
        return shape;
    };
    Shape1 = swatch("Label1", Label1, "Shape1", 0, 0, "文字色", clBlack);
    Shape2 = swatch("Label2", Label2, "Shape2", 1, 0, "光の色", clWhite);
    Shape3 = swatch("Label3", Label3, "Shape3", 0, 1, "背景色", 0x808040);
    Shape4 = swatch("Label4", Label4, "Shape4", 1, 1, "影の色", clNavy);

    grdstyle = FParts.Make<TRadioGroup>("grdstyle", this);
    grdstyle->SetBounds(80, BandTop + 39, 160, 48);
    grdstyle->SetCaption("光の形状");
    grdstyle->SetColumns(2);
    grdstyle->SetItems({"円", "四角"});
    grdstyle->SetItemIndex(0);
}

// Two rows of spin edits with their captions above them; the shadow box joins the
// shadow offsets.
void TForm1::CreateSettings() {
    auto spin = [this](const char* LabelName, TLabel*& Label, const char* Name, int Column, int Row,
                       const char* Caption, int Value, int Min, int Max, int MaxLength) {
        const int left = SettingsLeft + Column * SettingsColumn;
        const int top = BandTop + 2 + Row * 42;
        Label = FParts.MakeLabel(LabelName, this, left, top, Caption);
        auto* edit = FParts.Make<TSpinEdit>(Name, this);
        edit->SetBounds(left, top + 14, 60, 22);
        edit->SetMinValue(Min);
        edit->SetMaxValue(Max);
        edit->SetMaxLength(MaxLength);
        edit->SetValue(Value);
        return edit;
    };
    SpinEdit1 = spin("Label5", Label5, "SpinEdit1", 0, 0, "グラデーションの幅", 20, 10, 100, 3);
    SpinEdit2 = spin("Label6", Label6, "SpinEdit2", 1, 0, "光の大きさ", 52, 10, 999, 3);
    SpinEdit7 = spin("Label11", Label11, "SpinEdit7", 2, 0, "光の移動間隔", 10, 1, 200, 3);
    SpinEdit5 = spin("Label9", Label9, "SpinEdit5", 3, 0, "左右余白", 0, -99, 200, 3);
    SpinEdit3 = spin("Label7", Label7, "SpinEdit3", 1, 1, "影の横位置", 5, 0, 0, 0);
    SpinEdit4 = spin("Label8", Label8, "SpinEdit4", 2, 1, "影の縦位置", 5, 0, 0, 0);
    SpinEdit6 = spin("Label10", Label10, "SpinEdit6", 3, 1, "上下余白", 0, -99, 200, 3);

    kage = FParts.Make<TCheckBox>("kage", this);
    kage->SetBounds(SettingsLeft, BandTop + 58, 80, 20);
    kage->SetCaption("影付");
}

void TForm1::CreatePreview() {
    ScrollBox1 = FParts.Make<TScrollBox>("ScrollBox1", this);
    ScrollBox1->SetHeight(166);
    ScrollBox1->SetAlign(alBottom);
    Image1 = FParts.Make<TImage>("Image1", ScrollBox1);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);

    Timer1 = FParts.Make<TTimer>("Timer1");
    Timer1->SetEnabled(false);
    Timer1->SetInterval(10);
    FontDialog1 = FParts.Make<TFontDialog>("FontDialog1");
    FontDialog1->Font = ShiftJisFont("ＭＳ Ｐゴシック", -12);
    ColorDialog1 = FParts.Make<TColorDialog>("ColorDialog1");
    SaveDialog1 = FParts.Make<TSaveDialog>("SaveDialog1");
    SaveDialog1->DefaultExt = "sct";
    SaveDialog1->Filter = "Palvenor scorefile|*.sct";
}

void TForm1::BindHandlers() {
    OnCreate = BindHandler(this, &TForm1::FormCreate);
    OnClose = BindHandler(this, &TForm1::FormClose);
    Button1->OnClick = BindHandler(this, &TForm1::Button1Click);
    Button2->OnClick = BindHandler(this, &TForm1::Button2Click);
    Button3->OnClick = BindHandler(this, &TForm1::Button3Click);
    Button4->OnClick = BindHandler(this, &TForm1::Button4Click);
    kage->OnClick = BindHandler(this, &TForm1::kageClick);
    Timer1->OnTimer = BindHandler(this, &TForm1::Timer1Timer);
    Shape1->OnMouseDown = BindHandler(this, &TForm1::Shape1MouseDown);
    Shape2->OnMouseDown = BindHandler(this, &TForm1::Shape2MouseDown);
    Shape3->OnMouseDown = BindHandler(this, &TForm1::Shape3MouseDown);
    Shape4->OnMouseDown = BindHandler(this, &TForm1::Shape4MouseDown);
}

void TForm1::FormCreate(TObject*) {
    BaseDIB = std::make_unique<TKvDIB>();
    LightDIB = std::make_unique<TKvDIB>();
    TextDIB = std::make_unique<TKvDIB>();
    Rendered = false;
    TransPoint = TPoint{0, 0};
}

void TForm1::FormClose(TObject*, TCloseAction&) {
    FreePictures();
}

// A tick after this point finds Rendered false and draws nothing.
void TForm1::FreePictures() {
    Timer1->SetEnabled(false);
    Rendered = false;
    TextLayer.reset();
    BaseDIB.reset();
    TextDIB.reset();
    LightDIB.reset();
}

void TForm1::RenderLight() {
    const std::string text = Edit1->GetText();
    if (text.empty()) return;
    TLightStyle style;
    style.Size = SpinEdit2->GetValue();
    Canvas()->Font = Edit1->GetFont();
    style.TextHeight = Canvas()->TextHeight(text);
    style.Square = grdstyle->GetItemIndex() == 1;
    style.Steps = SpinEdit1->GetValue();
    style.TextColor = TextColor();
    style.LightColor = Shape2->GetBrush().Color;
    DrawLightSprite(*LightDIB, style);
}

void TForm1::RenderText() {
    Rendered = false;
    TextLayer.reset();
    TTextStyle style;
    style.Text = Edit1->GetText();
    if (style.Text.empty()) return;
    style.Font = Edit1->GetFont();
    style.TextColor = TextColor();
    style.BackgroundColor = Shape3->GetBrush().Color;
    style.ShadowColor = Shape4->GetBrush().Color;
    style.Shadow = kage->GetChecked();
    style.ShadowX = SpinEdit3->GetValue();
    style.ShadowY = SpinEdit4->GetValue();
    style.MarginX = SpinEdit5->GetValue();
    style.MarginY = SpinEdit6->GetValue();
    DrawTextImage(*TextDIB, style, *Canvas());
    FindColorPoint(*TextDIB, style.TextColor, TransPoint);
    FillFrameBase();
}

void TForm1::FillFrameBase() {
    FillBase(*BaseDIB, *TextDIB, TextColor());
    Rendered = true;
}

void TForm1::Button1Click(TObject*) {
    Timer1->SetEnabled(false);
    RenderLight();
    RenderText();
    if (!Rendered) return;
    StepCount = SpinEdit7->GetValue();
    const TLightMotion motion = StartLightMotion(*BaseDIB, *LightDIB, StepCount);
    LightX = motion.X;
    LightY = motion.Y;
    // The preview is centred in its box along each side where it fits.
    const int width = BaseDIB->GetWidth();
    const int height = BaseDIB->GetHeight();
    if (width <= ScrollBox1->GetWidth()) Image1->SetLeft((ScrollBox1->GetWidth() - width) / 2);
    if (height <= ScrollBox1->GetHeight()) Image1->SetTop((ScrollBox1->GetHeight() - height) / 2);
    LightStep = motion.Step;
    Button4->SetEnabled(false);
    if (LightStep < 1) {
        ShowMessage("表示間隔が狭すぎます");
        return;
    }
    Timer1->SetEnabled(true);
}

void TForm1::Button2Click(TObject*) {
    if (!FontDialog1->Execute()) return;
    TFont font = FontDialog1->Font;
    font.Color = TextColor();
    Edit1->SetFont(font);
    SpinEdit2->SetValue(2 * font.Size());
}

void TForm1::Button3Click(TObject*) {
    if (!Rendered) return;
    const bool running = Timer1->GetEnabled();
    Timer1->SetEnabled(!running);
    Button4->SetEnabled(running);
}

bool TForm1::PickSwatchColor(TShape* Swatch) {
    if (!ColorDialog1->Execute()) return false;
    Swatch->SetBrushColor(ColorDialog1->Color);
    return true;
}

void TForm1::Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (!PickSwatchColor(Shape1)) return;
    TFont font = Edit1->GetFont();
    font.Color = TextColor();
    Edit1->SetFont(font);
    RenderText();
    RenderLight();
}

void TForm1::Shape2MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (PickSwatchColor(Shape2)) RenderLight();
}

void TForm1::Shape3MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (PickSwatchColor(Shape3)) RenderText();
}

void TForm1::Shape4MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (PickSwatchColor(Shape4) && kage->GetChecked()) RenderText();
}

void TForm1::kageClick(TObject*) {
    RenderText();
}

void TForm1::Timer1Timer(TObject*) {
    if (!Rendered) {
        Timer1->SetEnabled(false);
        return;
    }
    if (!TextLayer) {
        TextLayer = std::make_unique<TBitmap>();
        MakeTextLayer(*TextLayer, *TextDIB, TransPoint);
    }
    TBitmap frame;
    ComposeLightFrame(frame, *TextLayer, *BaseDIB, *LightDIB, LightX, LightY, TextColor());
    Image1->Picture()->Assign(&frame);
    LightX = NextLightX(LightX, LightStep, TextDIB->GetWidth(), LightDIB->GetWidth());
    Image1->Repaint();
}
