// The editor's main window: the frame view, the cast strip, the score grid and the panels of
// commands around them. Every command of the editor is a handler or method of this window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editor/model/effects.h"
#include "gif/gifwrite.h"
#include "toolkit/widgets/Buttons.h"
#include "toolkit/widgets/ChoiceControls.h"
#include "toolkit/widgets/ComponentOwner.h"
#include "toolkit/widgets/Containers.h"
#include "toolkit/widgets/Dialogs.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/ImageControl.h"
#include "toolkit/widgets/Menus.h"
#include "toolkit/widgets/ProgressBar.h"
#include "toolkit/widgets/Shape.h"
#include "toolkit/widgets/SpinEdit.h"
#include "toolkit/widgets/StringGrid.h"
#include "toolkit/widgets/TextControls.h"

class TKvDIB;

// The registry key and section of the editor's settings.
extern const char* const SettingsKey;
extern const char* const SettingsSection;

class TMobrelForm : public TForm {
public:
    TMobrelForm();
    ~TMobrelForm() override;
    std::string ClassName() const override { return "TMobrelForm"; }

    // The document all commands work on; FormCreate starts it afresh.
    TEditorDocument& Document() { return *FDocument; }

    // Mouse drags on the frame view: placing with the left button, moving a run with another.
    bool PlacingCast = false;
    bool MovingRun = false;
    // The score cell last remembered (X = column, Y = row); a change of its row means the
    // current channel changed.
    TPoint LastScoreCell{1, 0};
    // Where the pointer holds a cast being placed: column 0..2 + 3 x row 0..2; 4 = centre.
    std::uint8_t PlacementAnchor = 4;

    // Layout, bottom up: score, cast strip, progress bar; above them panel 1, panel 2 and the
    // frame view.
    TStringGrid* score;
    TStringGrid* cast;
    TProgressBar* ProgressBar1;
    TScrollBox* ScrollBox2;
    TScrollBox* ScrollBox3;
    TScrollBox* ScrollBox1;
    TImage* Image1;

    // Panel 1: "ファイル".
    TGroupBox* GroupBox1;
    TBitBtn* BitBtn25;
    TBitBtn* BitBtn2;
    TBitBtn* BitBtn24;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn5;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn6;
    TShape* Shape4;
    // Panel 1: "キャスト".
    TGroupBox* GroupBox2;
    TBitBtn* BitBtn1;
    TBitBtn* BitBtn23;
    TBitBtn* BitBtn7;
    TBitBtn* insertcast;
    TBitBtn* BitBtn8;
    TLabel* Label14;
    TShape* Shape3;
    TButton* Button4;
    TButton* Button5;
    // Panel 1: "スコア".
    TGroupBox* GroupBox3;
    TBitBtn* BitBtn9;
    TBitBtn* BitBtn10;
    TBitBtn* BitBtn22;
    TBitBtn* BitBtn11;
    TBitBtn* BitBtn16;
    TBitBtn* BitBtn13;
    TBitBtn* BitBtn26;
    TBitBtn* BitBtn27;
    TBitBtn* BitBtn28;
    TBitBtn* BitBtn12;
    TBitBtn* BitBtn19;
    TBitBtn* BitBtn20;
    TLabel* Label1;
    TSpinEdit* SpinEdit1;
    TLabel* Label2;
    TSpinEdit* SpinEdit2;
    TLabel* Label5;
    TSpinEdit* SpinEdit4;
    TLabel* Label3;
    TLabel* Label4;
    TLabel* Label8;
    TLabel* Label9;
    TLabel* Label10;
    TLabel* Label11;
    TButton* Button1;
    TButton* Button10;

    // Panel 2: "GIF設定".
    TGroupBox* GroupBox4;
    TLabel* Label6;
    TSpinEdit* SpinEdit5;
    TCheckBox* CheckBox1;
    TCheckBox* paletteall;
    TCheckBox* ssize;
    TLabel* Label13;
    TShape* Shape1;
    TLabel* Label7;
    TComboBox* colorb;
    TLabel* Label12;
    TShape* Shape2;
    // Panel 2: "エフェクト実行".
    TGroupBox* GroupBox6;
    TComboBox* effectbox;
    TBitBtn* BitBtn17;
    TBitBtn* BitBtn18;
    // Panel 2: "表示".
    TGroupBox* GroupBox5;
    TRadioGroup* kakudaibtn;
    TBitBtn* BitBtn14;

    // Context menus of the score and the cast strip.
    TPopupMenu* PopupMenu1;
    TMenuItem* K1;
    TMenuItem* K2;
    TMenuItem* K3;
    TMenuItem* K4;
    TMenuItem* K5;
    TMenuItem* K6;
    TMenuItem* K7;
    TMenuItem* K8;
    TMenuItem* K9;
    TMenuItem* K10;
    TMenuItem* K11;
    TMenuItem* K12;
    TMenuItem* K13;
    TMenuItem* K14;
    TMenuItem* N11;
    TMenuItem* pv1;
    TMenuItem* pv2;
    TPopupMenu* PopupMenu2;
    TMenuItem* K15;
    TMenuItem* K16;
    TMenuItem* K17;
    TMenuItem* N5;
    TMenuItem* K18;
    TMenuItem* N7;
    TMenuItem* N8;
    TMenuItem* N9;

    TOpenPictureDialog* OpenPictureDialog1;
    TSaveDialog* SaveDialog1;
    TSaveDialog* SaveDialog2;
    TOpenDialog* OpenDialog2;
    TColorDialog* ColorDialog1;

    // Start-up, settings, display check and closing.
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void LoadSettings();
    void SaveSettings();
    // Below 16 bits per pixel the editor says so and asks to close.
    void CheckDisplayDepth(int BitsPerPixel);
    void Button10Click(TObject* Sender); // "終了(&X)": closes the window
    void Exit1Click(TObject* Sender);    // closes the window; bound to nothing
    void vtypeClick(TObject* Sender);    // does nothing; bound to nothing

    // Display zoom, panel toggles, the S-size colour.
    void kakudaibtnClick(TObject* Sender); // "拡大": the display zoom
    void pv1Click(TObject* Sender);        // "パネル1表示": shows or hides panel 1
    void pv2Click(TObject* Sender);        // "パネル2表示": shows or hides panel 2
    // "Sサイズ最適色を指定します": the S-size colour from the colour dialog.
    void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Frame view.
    void scoreDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    void ShowFrame(int Column, int Row);
    void PreviewPlacement(int X, int Y);
    void RefreshFrameView();
    void DrawCrosshair(TPoint P);

    // Score editing.
    void BitBtn9Click(TObject* Sender); // "スコアコピー": the selected cells to the score clipboard
    // "スコアの切り取り": copies the selected cells, then clears them.
    void BitBtn11Click(TObject* Sender);
    // "スコアの張り付け": the score clipboard from the current cell on.
    void BitBtn10Click(TObject* Sender);
    void BitBtn22Click(TObject* Sender); // "スコアの削除": clears the selected cells
    void BitBtn13Click(TObject* Sender); // "ポイントセット": the current cell takes the X/Y edits
    void BitBtn26Click(TObject* Sender); // "スコア調整": moves the selection by offsets from a dialog
    // "スコアを左右中央にします。": centres the selection left-right.
    void BitBtn27Click(TObject* Sender);
    // "スコアを上下中央にします": centres the selection up-down.
    void BitBtn28Click(TObject* Sender);
    void BitBtn16Click(TObject* Sender); // "スコアを全て削除します。": clears the current channel
    void Button1Click(TObject* Sender);  // "初期化": resets casts, cells, waits and frame points
    void SpinEdit4Change(TObject* Sender);
    void scoreMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void scoreMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void scoreMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void scoreKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void scoreRowMoved(TObject* Sender, int FromIndex, int ToIndex);
    // Mode 0 point set, 1 offsets from the dialog, 2 centre left-right, 3 centre up-down.
    void AdjustScore(int Mode);
    void ClearScoreRow();
    void UpdateScoreStatus();

    // Tweens.
    void BitBtn12Click(TObject* Sender); // "トゥイーン": a straight line
    void BitBtn19Click(TObject* Sender); // "回転トゥイーン": once round an ellipse
    void BitBtn20Click(TObject* Sender); // "片道トゥイーン": one position held

    // Cast management.
    void BitBtn1Click(TObject* Sender); // "キャスト画像を開く": casts from files
    void castDblClick(TObject* Sender); // casts from files, as BitBtn1
    // "クリップボードからキャストに張り付け": a cast from the clipboard.
    void BitBtn7Click(TObject* Sender);
    // "クリップボードから挿入します": a cast inserted from the clipboard.
    void insertcastClick(TObject* Sender);
    void BitBtn23Click(TObject* Sender); // "キャストコピー": the current cast to the clipboard
    void BitBtn8Click(TObject* Sender);  // "キャスト削除": deletes the selected casts
    // The Delete key deletes the selected casts.
    void castKeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    // "キャストの透過属性を設定します": the selected casts' transparent colour, picked.
    void Shape3MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void N7Click(TObject* Sender);      // "透過属性設定": as Shape3
    void Button5Click(TObject* Sender); // "色変更": a picked colour of the selected casts replaced
    void Button4Click(TObject* Sender); // "位置変更": where the pointer holds a cast being placed
    void castDrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
    // Source 0: from files, 1: from the clipboard.
    void LoadCast(int Source);
    void DeleteCasts();
    void SetCastTransparency();

    // Main image and background.
    void BitBtn2Click(TObject* Sender); // "メイン画像を開く": the main image from a file
    // "メイン画像へ張り付け": the main image from the clipboard.
    void BitBtn24Click(TObject* Sender);
    void BitBtn25Click(TObject* Sender); // "背景を新規作成します": a new blank main image
    // "イメージの背景色を設定します": the background colour from the colour dialog.
    void Shape4MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Source 0: from a file, 1: from the clipboard, 2: a new blank picture.
    void LoadMainImage(int Source);

    // Colour picker and frame transparency points.
    // "GIF保存時の透過色を設定します": the selected frames' transparency point, picked.
    void Shape2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void N11Click(TObject* Sender); // "透過色設定": as Shape2
    // "表示中の画像をクリップボードにコピー": the output frame to the clipboard.
    void BitBtn4Click(TObject* Sender);
    void ComposeCurrentFrame(bool ToClipboard);

    // Transitions.
    // "フェードアウト": the chosen transition over the selected casts.
    void BitBtn17Click(TObject* Sender);
    void BitBtn18Click(TObject* Sender); // "フェードイン": the same transition reversed

    // Test playback.
    void BitBtn14Click(TObject* Sender); // "テスト表示": plays the animation in the test window

    // Output: GIF, BMP and AVI.
    // "ＧＩＦで保存": GIF, BMP or AVI as the save dialog's kind says.
    void BitBtn5Click(TObject* Sender);
    // FileName is complete for the GIF modes and the stem for the BMP modes.
    void ExportFrames(const std::string& FileName, int Mode);
    // Draws Cast centred on Position (canvas coordinates) onto Dib, a main-image-sized frame.
    TKvDIB* DrawCastOnDIB(TKvDIB* Dib, TGraphic* Cast, TPoint Position);
    void ExportAvi(const std::string& FileName);

    // The GIF writers, following the loop count, the common palette box and the colour choice.
    TGifOutputSettings GifOutputSettings() const;
    void WriteGifHeader(TKvDIB& Dib, TStream& Stream, int Mode);
    void WriteGifFrameHeader(TKvDIB& Dib, TStream& Stream, int TransparentIndex, int Delay, int Left, int Top,
                             int Width, int Height, int Mode, bool SizeOptimised);
    void WriteGifImageData(TKvDIB& Dib, TStream& Stream, int Left, int Top, int Right, int Bottom);
    void WriteGifTrailer(TStream& Stream);
    // What the header leaves for the frame headers after it: the first frame's palette.
    TGifWriter GifWriter;

    // Score files.
    void BitBtn3Click(TObject* Sender); // "スコアを開く": opens a score file
    void BitBtn6Click(TObject* Sender); // "スコア保存": saves a score file
    void SaveScoreFile();
    void LoadScoreFile();

    // Mouse placement on the frame view.
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // Moves a pointer point (canvas coordinates) to the centre of the cast it holds.
    void ApplyPlacementAnchor(int& X, int& Y);

private:
    void CreatePanel1();
    void CreateFileGroup();
    void CreateCastGroup();
    void CreateScoreGroup();
    void CreatePanel2();
    void CreateGridsAndView();
    void CreateMenus();
    void CreateDialogs();
    void BindHandlers();
    // The composed, zoomed frame B shown in Image1 with the main image outlined.
    void ShowComposedView(int Frame, std::unique_ptr<TBitmap> B);

    TComponentOwner FParts;
    std::unique_ptr<TEditorDocument> FDocument;
    // The user chose to stay on a display of too few colours.
    bool FLowDepthAccepted = false;
};

extern TMobrelForm* MobrelForm;
