// The text-light generator's window: the text and its font, the colours, the light and
// shadow settings, the preview of the travelling light and the score-file save.
#pragma once

#include <memory>

#include "imagelib/KvDIB.h"
#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ChoiceControls.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Dialogs.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"
#include "toolkit/widgets/Shape.h"
#include "toolkit/widgets/SpinEdit.h"
#include "toolkit/widgets/TextControls.h"
#include "toolkit/widgets/Timer.h"

// The pictures and the light's motion, shared by the handlers.
extern std::unique_ptr<TKvDIB> TextDIB;  // background, shadow and text
extern std::unique_ptr<TKvDIB> LightDIB; // the light sprite
extern std::unique_ptr<TKvDIB> BaseDIB;  // a text-colour rectangle of TextDIB's size
extern int LightX;                       // left edge of the light in frame coordinates
extern int LightY;                       // top edge of the light
extern int LightStep;                    // pixels the light moves per frame
extern int StepCount;                    // frames per pass of the light
extern bool Rendered;                    // text, light and base are rendered and consistent
extern TPoint TransPoint;                // a text-colour pixel of TextDIB: the see-through colour

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    TScrollBox* ScrollBox2;
    TEdit* Edit1;
    TButton* Button1;
    TButton* Button2;
    TButton* Button3;
    TButton* Button4;
    TLabel* Label1;
    TShape* Shape1;
    TLabel* Label2;
    TShape* Shape2;
    TLabel* Label3;
    TShape* Shape3;
    TLabel* Label4;
    TShape* Shape4;
    TLabel* Label5;
    TSpinEdit* SpinEdit1;
    TLabel* Label6;
    TSpinEdit* SpinEdit2;
    TCheckBox* kage;
    TLabel* Label7;
    TSpinEdit* SpinEdit3;
    TLabel* Label8;
    TSpinEdit* SpinEdit4;
    TLabel* Label9;
    TSpinEdit* SpinEdit5;
    TLabel* Label10;
    TSpinEdit* SpinEdit6;
    TLabel* Label11;
    TSpinEdit* SpinEdit7;
    TRadioGroup* grdstyle;
    TScrollBox* ScrollBox1;
    TImage* Image1;
    TTimer* Timer1;
    TFontDialog* FontDialog1;
    TColorDialog* ColorDialog1;
    TSaveDialog* SaveDialog1;

    // Rendering from the current controls.
    void RenderLight();
    void RenderText();
    void FillFrameBase();

    void Button1Click(TObject* Sender); // "実行": renders text and light, starts the preview
    void Button2Click(TObject* Sender); // "フォント変更": the text's font from the font dialog
    void Button3Click(TObject* Sender); // "停止/再開": stops or resumes the preview
    void Button4Click(TObject* Sender); // "ファイル保存": saves the score file
    // The colour swatches, any mouse button.
    // "文字色": the text colour.
    void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // "光の色": the light's colour.
    void Shape2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // "背景色": the background colour.
    void Shape3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // "影の色": the shadow's colour.
    void Shape4MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void kageClick(TObject* Sender); // "影付": the shadow on or off
    // One preview frame per tick.
    void Timer1Timer(TObject* Sender);
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

private:
    void CreateTextBox();
    void CreateButtonsAndSwatches();
    void CreateSettings();
    void CreatePreview();
    void BindHandlers();
    void FreePictures();
    TColor TextColor() const { return Shape1->GetBrush().Color; }
    // Runs the colour dialog; on confirmation the swatch takes its colour.
    bool PickSwatchColor(TShape* Swatch);

    TComponentOwner FParts;
};

extern TForm1* Form1;
