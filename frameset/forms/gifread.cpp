// The main window's components, menus and handler bindings; the start and end of the
// program, the minimum window size and the copy of the view.
#include "frameset/forms/gifread.h"

#include "toolkit/graphics/Clipboard.h"
#include "toolkit/widgets/BindHandler.h"
#include "toolkit/widgets/MessageBoxes.h"

TForm1* Form1 = nullptr;

const std::vector<std::string> DisposalTexts = {"そのまま画像を残す", "なにもしない", "背景色で塗りつぶす",
                                                "直前の画像に戻す"};

namespace {

constexpr int MinimumWidth = 615;
constexpr int MinimumHeight = 456;
constexpr int SettingsLeft = 86;
constexpr int SettingsValueLeft = 196;

} // namespace

TForm1::TForm1() {
    SetCaption("Sorbelset");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBounds(19, 16, 618, 456);
    CreateTopPanel();
    CreateSettings();
    CreateMenus();
    CreateDialogs();
    BindHandlers();
}

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
    FreeFrameSetState();
}

void TForm1::CreateTopPanel() {
    Panel1 = FParts.Make<TPanel>("Panel1", this);
    Panel1->SetHeight(49);
    Panel1->SetAlign(alTop);
    Button1 = FParts.MakeButton("Button1", Panel1, Rect(4, 2, 84, 24), "新規作成(&N)");
    Button9 = FParts.MakeButton("Button9", Panel1, Rect(86, 2, 146, 24), "挿入(&I)");
    Button3 = FParts.MakeButton("Button3", Panel1, Rect(148, 2, 242, 24), "ファイル保存(&S)");
    Button2 = FParts.MakeButton("Button2", Panel1, Rect(244, 2, 338, 24), "背景色変更(&B)");
    Button6 = FParts.MakeButton("Button6", Panel1, Rect(340, 2, 400, 24), "終了(&X)");
    Button10 = FParts.MakeButton("Button10", Panel1, Rect(4, 25, 70, 47), "カット(&T)");
    Button11 = FParts.MakeButton("Button11", Panel1, Rect(72, 25, 138, 47), "コピー(&C)");
    Button12 = FParts.MakeButton("Button12", Panel1, Rect(140, 25, 206, 47), "貼付(&P)");
    Button13 = FParts.MakeButton("Button13", Panel1, Rect(208, 25, 274, 47), "削除(&D)");
    CheckBox1 = FParts.Make<TCheckBox>("CheckBox1", Panel1);
    CheckBox1->SetBounds(410, 4, 180, 18);
    CheckBox1->SetCaption("直前の画像を消す(&K)");
    CheckBox1->SetChecked(true);
    ProgressBar1 = FParts.Make<TProgressBar>("ProgressBar1", Panel1);
    ProgressBar1->SetBounds(284, 29, 320, 14);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);

    Panel2 = FParts.Make<TPanel>("Panel2", this);
    Panel2->SetWidth(78);
    Panel2->SetAlign(alLeft);
    StringGrid1 = FParts.Make<TStringGrid>("StringGrid1", Panel2);
    StringGrid1->SetAlign(alClient);
    StringGrid1->SetColCount(1);
    StringGrid1->SetFixedCols(0);
    StringGrid1->SetRowCount(2);
    StringGrid1->SetFixedRows(1);
    StringGrid1->SetDefaultColWidth(40);
    StringGrid1->SetDefaultRowHeight(17);
    StringGrid1->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
}

void TForm1::CreateSettings() {
    auto label = [this](const char* Name, int Top, const char* Caption) {
        return FParts.MakeLabel(Name, this, SettingsLeft, Top, Caption);
    };
    auto value = [this](const char* Name, int Top) {
        return FParts.MakeLabel(Name, this, SettingsValueLeft, Top, "0");
    };
    auto spin = [this](const char* Name, int Top, int Increment) {
        auto* edit = FParts.Make<TSpinEdit>(Name, this);
        edit->SetBounds(SettingsValueLeft, Top, 64, 22);
        edit->SetMinValue(0);
        edit->SetMaxValue(1000);
        edit->SetIncrement(Increment);
        edit->SetMaxLength(4);
        edit->SetValue(0);
        return edit;
    };
    Label1 = label("Label1", 58, "全体の幅");
    allx = value("allx", 58);
    Label2 = label("Label2", 76, "全体の高さ");
    ally = value("ally", 76);
    Label3 = label("Label3", 94, "イメージの幅");
    xsize = value("xsize", 94);
    Label4 = label("Label4", 112, "イメージの高さ");
    ysize = value("ysize", 112);

    touka = FParts.Make<TCheckBox>("touka", this);
    touka->SetBounds(SettingsLeft, 134, 150, 18);
    touka->SetCaption("透過色指定(&G)");
    Label5 = label("Label5", 158, "透過色");
    Shape1 = FParts.Make<TShape>("Shape1", this);
    Shape1->SetBounds(SettingsLeft, 174, 41, 25);
    Shape1->SetBrushColor(clWhite);
    Label6 = label("Label6", 158, "交換色");
    Label6->SetLeft(150);
    Shape2 = FParts.Make<TShape>("Shape2", this);
    Shape2->SetBounds(150, 174, 41, 25);
    Shape2->SetBrushColor(clWhite);

    Label7 = label("Label7", 210, "イメージの横位置");
    imgposx = spin("imgposx", 206, 1);
    Label8 = label("Label8", 236, "イメージの縦位置");
    imgposy = spin("imgposy", 232, 1);
    Label9 = label("Label9", 262, "待ち時間");
    waitdata = spin("waitdata", 258, 5);
    Label10 = label("Label10", 286, "イメージの表示方法");
    ComboBox1 = FParts.Make<TComboBox>("ComboBox1", this);
    ComboBox1->SetBounds(SettingsLeft, 302, 208, 22);
    ComboBox1->SetItems(DisposalTexts);

    Button4 = FParts.MakeButton("Button4", this, Rect(SettingsLeft, 334, SettingsLeft + 68, 358), "再生(&V)");
    Button5 =
        FParts.MakeButton("Button5", this, Rect(SettingsLeft + 72, 334, SettingsLeft + 140, 358), "停止(&I)");
    Button7 = FParts.MakeButton("Button7", this, Rect(SettingsLeft, 364, SettingsLeft + 140, 388),
                                "表示画面コピー(&J)");

    ScrollBox1 = FParts.Make<TScrollBox>("ScrollBox1", this);
    ScrollBox1->SetBounds(300, 49, 306, 360);
    Image1 = FParts.Make<TImage>("Image1", ScrollBox1);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
}

void TForm1::CreateMenus() {
    MainMenu1 = FParts.Make<TMainMenu>("MainMenu1");
    auto item = [](TMenuItem* Parent, TMenuItem*& Item, const char* Name, const char* Caption) {
        Item = Parent->Add(Caption);
        Item->Name = Name;
    };
    TMenuItem* root = MainMenu1->Items();
    item(root, F1, "F1", "ファイル(&F)");
    item(F1, N1, "N1", "新規(&N)");
    item(F1, I1, "I1", "挿入(&I)");
    F1->Add("-");
    item(F1, S1, "S1", "保存(&S)");
    F1->Add("-");
    item(F1, X1, "X1", "終了(&X)");
    item(root, E1, "E1", "編集(&E)");
    item(E1, Cut1, "Cut1", "切り取り(&T)");
    item(E1, Copy1, "Copy1", "コピー(&C)");
    item(E1, Paste1, "Paste1", "貼り付け(&P)");
    item(E1, Delete1, "Delete1", "削除(&D)");
    item(root, O1, "O1", "オプション(&O)");
    item(O1, L1, "L1", "色数(&L)");
    item(L1, N25601, "N25601", "ディザ256色(&0)");
    item(L1, N881, "N881", "8色(&1)");
    item(L1, N1621, "N1621", "16色(&2)");
    item(L1, N3231, "N3231", "32色(&3)");
    item(L1, N6441, "N6441", "64色(&4)");
    item(L1, N12851, "N12851", "128色(&5)");
    item(L1, N25661, "N25661", "256色(&6)");
    N25661->SetChecked(true);
    SetMenu(MainMenu1);
}

void TForm1::CreateDialogs() {
    OpenDialog1 = FParts.Make<TOpenDialog>("OpenDialog1");
    OpenDialog1->DefaultExt = "*.gif";
    OpenDialog1->Filter = "GIF|*.gif|BMP|*.bmp";
    OpenDialog1->Options = ofHideReadOnly | ofAllowMultiSelect;
    SaveDialog1 = FParts.Make<TSaveDialog>("SaveDialog1");
    SaveDialog1->DefaultExt = "gif";
    SaveDialog1->Filter = "GIF|*.gif|BMP(表示中の画像)|*.bmp|BMP(連番/差分のみ)|*.bmp|BMP(連番/全画面)|*.bmp";
    SaveDialog1->Options = ofHideReadOnly | ofOverwritePrompt;
    ColorDialog1 = FParts.Make<TColorDialog>("ColorDialog1");
    for (char slot = 'A'; slot <= 'P'; ++slot)
        ColorDialog1->CustomColors.push_back(std::string("Color") + slot + "=FFFFFF");
}

void TForm1::BindHandlers() {
    using TClick = void (TForm1::*)(TObject*);
    OnCreate = BindHandler(this, &TForm1::FormCreate);
    OnResize = BindHandler(this, &TForm1::FormResize);
    OnClose = BindHandler(this, &TForm1::FormClose);

    const std::pair<TButton*, TClick> buttons[] = {
        {Button1, &TForm1::Button1Click}, {Button9, &TForm1::I1Click},      {Button10, &TForm1::Cut1Click},
        {Button11, &TForm1::Copy1Click},  {Button12, &TForm1::Paste1Click}, {Button13, &TForm1::Delete1Click},
        {Button6, &TForm1::Button6Click}, {Button4, &TForm1::Button4Click}, {Button5, &TForm1::Button5Click},
        {Button7, &TForm1::Button7Click},
    };
    for (const auto& [button, handler] : buttons)
        button->OnClick = BindHandler(this, handler);
    const std::pair<TMenuItem*, TClick> items[] = {
        {N1, &TForm1::N1Click},           {I1, &TForm1::I1Click},       {X1, &TForm1::Button6Click},
        {Cut1, &TForm1::Cut1Click},       {Copy1, &TForm1::Copy1Click}, {Paste1, &TForm1::Paste1Click},
        {Delete1, &TForm1::Delete1Click},
    };
    for (const auto& [item, handler] : items)
        item->OnClick = BindHandler(this, handler);

    Button3->OnClick = BindHandler(this, &TForm1::Button3Click);
    S1->OnClick = BindHandler(this, &TForm1::Button3Click);
    const std::pair<TMenuItem*, TClick> colorItems[] = {
        {N25601, &TForm1::N25601Click}, {N25661, &TForm1::N25661Click}, {N12851, &TForm1::N12851Click},
        {N6441, &TForm1::N6441Click},   {N3231, &TForm1::N3231Click},   {N1621, &TForm1::N1621Click},
        {N881, &TForm1::N881Click},
    };
    for (const auto& [item, handler] : colorItems)
        item->OnClick = BindHandler(this, handler);

    touka->OnMouseDown = BindHandler(this, &TForm1::toukaMouseDown);
    StringGrid1->OnKeyUp = BindHandler(this, &TForm1::StringGrid1KeyUp);
    StringGrid1->OnMouseDown = BindHandler(this, &TForm1::StringGrid1MouseDown);
    BindSettingsHandlers();
}

void TForm1::FormCreate(TObject*) {
    CreateFrameSetState();
    StringGrid1->SetCells(0, 0, "Frame");
}

// While the set plays the window stays, without asking.
void TForm1::FormClose(TObject*, TCloseAction& Action) {
    if (!Idle) {
        Action = caNone;
        return;
    }
    if (MessageDlg("終了してもいいですか ?", mtConfirmation, mbYesNo) != mrYes) {
        Action = caNone;
        return;
    }
    FreeFrameSetState();
}

void TForm1::FormResize(TObject*) {
    const int width = std::max(GetWidth(), MinimumWidth);
    const int height = std::max(GetHeight(), MinimumHeight);
    if (width != GetWidth() || height != GetHeight()) {
        SetBounds(GetLeft(), GetTop(), width, height); // resizes again, with the scroll box
        return;
    }
    ScrollBox1->SetWidth(GetWidth() - 309);
    ScrollBox1->SetHeight(GetHeight() - 98);
}

void TForm1::Button6Click(TObject*) {
    Close();
}

// The copy never shows the focus outline.
void TForm1::Button7Click(TObject*) {
    if (FrameCount == 0) return;
    TCanvas* view = Image1->Canvas();
    view->DrawFocusRect(FrameFocusRect);
    Clipboard().Assign(Image1->Picture()->GetGraphic());
    view->DrawFocusRect(FrameFocusRect);
}
