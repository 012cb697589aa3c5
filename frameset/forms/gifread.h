// The frame-set editor's main window: the frame grid, the editor view, the settings of the
// current frame, and the commands that fill, edit and play the frame list.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frameset/model/gifreadframes.h"
#include "frameset/model/gifreadsettings.h"
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

// The texts of the disposal list, in the order of the GIF disposal methods.
extern const std::vector<std::string> DisposalTexts;

struct TFrameSetProgress;

// Where a load puts its frames: after the current frame, or in place of every frame.
enum TLoadPlace { lpInsert, lpReplace };

class TForm1 : public TForm {
public:
    TForm1();
    ~TForm1() override;
    std::string ClassName() const override { return "TForm1"; }

    // The panel along the top.
    TPanel* Panel1;
    TButton* Button1;
    TButton* Button9;
    TButton* Button3;
    TButton* Button2;
    TButton* Button10;
    TButton* Button11;
    TButton* Button12;
    TButton* Button13;
    TButton* Button6;
    TProgressBar* ProgressBar1;
    TCheckBox* CheckBox1;
    // The panel at the left: grid row r stands for frame r - 1.
    TPanel* Panel2;
    TStringGrid* StringGrid1;
    // The settings of the current frame.
    TLabel* Label1;
    TLabel* allx;
    TLabel* Label2;
    TLabel* ally;
    TLabel* Label3;
    TLabel* xsize;
    TLabel* Label4;
    TLabel* ysize;
    TCheckBox* touka;
    TLabel* Label5;
    TShape* Shape1;
    TLabel* Label6;
    TShape* Shape2;
    TLabel* Label7;
    TSpinEdit* imgposx;
    TLabel* Label8;
    TSpinEdit* imgposy;
    TLabel* Label9;
    TSpinEdit* waitdata;
    TLabel* Label10;
    TComboBox* ComboBox1;
    TButton* Button4;
    TButton* Button5;
    TButton* Button7;
    // The editor view.
    TScrollBox* ScrollBox1;
    TImage* Image1;

    TMainMenu* MainMenu1;
    TMenuItem* F1;
    TMenuItem* N1;
    TMenuItem* I1;
    TMenuItem* S1;
    TMenuItem* X1;
    TMenuItem* E1;
    TMenuItem* Cut1;
    TMenuItem* Copy1;
    TMenuItem* Paste1;
    TMenuItem* Delete1;
    TMenuItem* O1;
    TMenuItem* L1;
    TMenuItem* N25601;
    TMenuItem* N881;
    TMenuItem* N1621;
    TMenuItem* N3231;
    TMenuItem* N6441;
    TMenuItem* N12851;
    TMenuItem* N25661;

    TOpenDialog* OpenDialog1;
    TSaveDialog* SaveDialog1;
    TColorDialog* ColorDialog1;

    // Start and end of the program, the window's size, the view copy.
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormResize(TObject* Sender);
    void Button6Click(TObject* Sender); // "終了(&X)": closes the window
    void Button7Click(TObject* Sender); // "表示画面コピー(&J)": the view to the clipboard

    // The frame list: insertion, the current frame's settings, the grid.
    void AddGif(int Index);
    void insertbitmap(TKvDIB& Bitmap, int Index);
    void settei(int Index); // shows frame Index's settings in the controls
    // "透過色指定(&G)" pressed: the selected frames become transparent, or opaque.
    void toukaMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // A key or a button in the grid: the current frame and its settings are shown.
    void StringGrid1KeyUp(TObject* Sender, std::uint16_t& Key, TShiftState Shift);
    void StringGrid1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // Editing commands.
    void Button1Click(TObject* Sender); // "新規作成(&N)": new
    void N1Click(TObject* Sender);      // "新規(&N)": new
    void I1Click(TObject* Sender);      // "挿入(&I)": insert
    void Delete1Click(TObject* Sender);
    void Cut1Click(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void Paste1Click(TObject* Sender);

    // Reading a GIF file into the list after the current frame, or, for new, into the list
    // emptied first.
    void newopen(const std::string& FileName, TLoadPlace Place = lpInsert);

    // The editor view and playback.
    void testviews(int Index);          // draws frame Index in the editor view
    void views(int Index, bool Redraw); // draws frame Index in the playback window
    void Button4Click(TObject* Sender); // "再生(&V)": plays the set
    void Button5Click(TObject* Sender); // "停止(&I)": stops the playback

    // Saving, and the colour count of the reduction before each GIF save.
    void Button3Click(TObject* Sender);            // "ファイル保存(&S)", "保存(&S)": the save command
    void savebitmap1(const std::string& FileName); // the view as one BMP file
    void savebitmap2(const std::string& FileName); // each frame's picture, numbered BMP files
    void savebitmap3(const std::string& FileName); // the view of each frame, numbered BMP files
    void colchk(int Item);                         // checks colour-count item Item alone
    void colorquad(int Item);                      // reduces every frame's colours by item Item
    void N25601Click(TObject* Sender);             // "ディザ256色(&0)"
    void N25661Click(TObject* Sender);             // "256色(&6)"
    void N12851Click(TObject* Sender);             // "128色(&5)"
    void N6441Click(TObject* Sender);              // "64色(&4)"
    void N3231Click(TObject* Sender);              // "32色(&3)"
    void N1621Click(TObject* Sender);              // "16色(&2)"
    void N881Click(TObject* Sender);               // "8色(&1)"

    // The frames' own settings and the transparency tools.
    void Button2Click(TObject* Sender);    // "背景色変更(&B)": the view's background colour
    void ComboBox1Change(TObject* Sender); // the disposal of the selected frames
    void imgposxExit(TObject* Sender);     // the left position of the selected frames
    void imgposyExit(TObject* Sender);     // the top position of the selected frames
    void waitdataExit(TObject* Sender);    // the wait of the selected frames
    // A press in the view: the left button picks the transparent colour, any other the colour
    // to exchange.
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // "交換色" shows the colour under the mouse.
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    // "透過色" pressed: the transparent index of the selected frames from the swatch dialog.
    void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void haikeichg(int Index, int X, int Y); // the transparent colour from the pixel at (X, Y)
    void colorchg(int Index, int X, int Y);  // the exchange of the colour at (X, Y)

private:
    void CreateTopPanel();
    void CreateSettings();
    void CreateMenus();
    void CreateDialogs();
    void BindHandlers();
    void BindSettingsHandlers();

    // The grid's current frame and its selected frames.
    int CurrentFrame() const { return StringGrid1->Row() - 1; }
    void SelectedFrames(int& First, int& Last) const;
    // Where insert and paste put new frames: after the current frame.
    int InsertPosition() const { return FrameCount != 0 ? StringGrid1->Row() : 0; }
    // Inserts a frame, then shows it in the list (and sizes the screen for the first one).
    void InsertWithView(int Index, const TFrameSettings& Settings, TKvDIB& Picture);
    // Loads the dialog's BMP files as frames after the current frame, or into the list
    // emptied first.
    void LoadBitmaps(TLoadPlace Place);
    // The list emptied for new: no frame, the grid at its first row.
    void EmptyFrameList();
    // Shows the current frame and its settings, the grid taking the keyboard.
    void ShowCurrentFrame();
    // The view shows a copy of the blank screen picture, its background colour kept.
    void ShowBlankScreen();
    // The controls a playback disables, and enables again at its end.
    void EnableEditing(bool Enabled);
    TCanvas* PlaybackCanvas();
    // Sets Field of the selected frames; Redraw shows the current frame again.
    void EditSelectedFrames(TFrameField Field, int Value, bool Redraw);
    // The colour-count items by number, and the number of the first one checked.
    std::array<TMenuItem*, 7> ColorItems() const;
    int CheckedColorItem() const;
    // The progress bar, as the long runs over the frames report to it.
    TFrameSetProgress Progress();
    // The frames a numbered BMP sequence saves, by the grid's selection.
    void NumberedSelection(int& First, int& Last) const;

    TComponentOwner FParts;
};

extern TForm1* Form1;

// What a command that loads frames changes, kept so that a load that fails puts it back: the
// frame list, the grid's rows and selection, the view and the screen size it shows.
class TFrameLoadUndo {
public:
    explicit TFrameLoadUndo(TForm1& Form);
    void Restore();

private:
    TForm1& FForm;
    TFrameListSnapshot FFrames;
    int FRowCount;
    int FRow;
    int FAnchorRow;
    std::string FScreenWidthText;
    std::string FScreenHeightText;
    std::unique_ptr<TBitmap> FView;
    TColor FViewBackground;
    TRect FFocusRect;
    int FScreenBitmapWidth;
    int FScreenBitmapHeight;
};

// The load's error message for a failed stage.
void ShowLoadError(int Stage);
// Waits Milliseconds while the application handles its messages.
void WaitWithMessages(int Milliseconds);
