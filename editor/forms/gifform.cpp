// The main window's components: layout, captions, hints, menus and the binding of every
// handler.
#include "editor/forms/gifform.h"

#include "editor/forms/gifformglyphs.h"
#include "toolkit/widgets/BindHandler.h"

TMobrelForm* MobrelForm = nullptr;
const char* const SettingsKey = "\\Software\\Palvenor20";
const char* const SettingsSection = "regist";

namespace {

constexpr TColor FileGlyphColor = 0x00804000;
constexpr TColor CastGlyphColor = 0x00006000;
constexpr TColor ScoreGlyphColor = 0x00000080;
constexpr TColor EffectGlyphColor = 0x00800080;
// Picture buttons stand in rows of six; the groups of panel 1 fit its width without scrolling.
constexpr int GlyphButtonSize = 22;
constexpr int PanelWidth = 145;

int GlyphLeft(int Column) {
    return 4 + Column * (GlyphButtonSize + 1);
}
int GlyphTop(int Row) {
    return 16 + Row * (GlyphButtonSize + 2);
}

} // namespace

TMobrelForm::TMobrelForm() : FDocument(std::make_unique<TEditorDocument>()) {
    SetCaption("Palvenor Ver 3.71 TYPE-A");
    SetFont(ShiftJisFont("ＭＳ Ｐゴシック", -12));
    SetBounds(-4, -4, 808, 608);
    CreateGridsAndView();
    CreatePanel1();
    CreatePanel2();
    CreateMenus();
    CreateDialogs();
    BindHandlers();
}

TMobrelForm::~TMobrelForm() {
    if (MobrelForm == this) MobrelForm = nullptr;
}

// The aligned parts are added from the edges inwards: the score at the very bottom, the
// panels at the left, the frame view taking what remains.
void TMobrelForm::CreateGridsAndView() {
    score = FParts.Make<TStringGrid>("score", this);
    score->SetHeight(165);
    score->SetAlign(alBottom);
    score->SetColCount(201);
    score->SetRowCount(10);
    score->SetFixedCols(1);
    score->SetFixedRows(0);
    score->SetDefaultColWidth(5);
    score->SetDefaultRowHeight(13);
    score->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect |
                      goDrawFocusSelected | goRowMoving);
    TFont gridFont = ShiftJisFont("ＭＳ ゴシック", -11);
    gridFont.Color = clBlack;
    score->SetFont(gridFont);
    score->SetSelection(TGridRect{1, 0, 1, 0});

    cast = FParts.Make<TStringGrid>("cast", this);
    cast->SetHeight(57);
    cast->SetAlign(alBottom);
    cast->SetColCount(20);
    cast->SetRowCount(2);
    cast->SetFixedCols(0);
    cast->SetFixedRows(1);
    cast->SetDefaultColWidth(30);
    cast->SetDefaultRowHeight(30);
    cast->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect |
                     goDrawFocusSelected);
    cast->SetSelection(TGridRect{0, 1, 0, 1});

    ProgressBar1 = FParts.Make<TProgressBar>("ProgressBar1", this);
    ProgressBar1->SetHeight(11);
    ProgressBar1->SetAlign(alBottom);
    ProgressBar1->SetMin(0);
    ProgressBar1->SetMax(100);

    ScrollBox2 = FParts.Make<TScrollBox>("ScrollBox2", this);
    ScrollBox2->SetWidth(161);
    ScrollBox2->SetAlign(alLeft);
    ScrollBox3 = FParts.Make<TScrollBox>("ScrollBox3", this);
    ScrollBox3->SetWidth(152);
    ScrollBox3->SetAlign(alLeft);
    ScrollBox1 = FParts.Make<TScrollBox>("ScrollBox1", this);
    ScrollBox1->SetAlign(alClient);
    Image1 = FParts.Make<TImage>("Image1", ScrollBox1);
    Image1->SetBounds(0, 0, 100, 100);
    Image1->SetAutoSize(true);
}

namespace {

// Picture buttons carry a glyph and a hint; the glyph is copied by the button.
TBitBtn* MakeGlyphButton(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Column, int Row,
                         const std::string& Symbol, TColor Color, const char* Hint) {
    auto* button = Parts.Make<TBitBtn>(Name, Parent);
    button->SetBounds(GlyphLeft(Column), GlyphTop(Row), GlyphButtonSize, GlyphButtonSize);
    button->SetGlyph(ButtonGlyph(Symbol, Color).get());
    button->SetHint(Hint);
    return button;
}

TShape* MakeSwatch(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Left, int Top,
                   TColor Color, const char* Hint) {
    auto* swatch = Parts.Make<TShape>(Name, Parent);
    swatch->SetBounds(Left, Top, 21, 21);
    swatch->SetBrush(TBrush{Color, bsSolid});
    swatch->SetHint(Hint);
    return swatch;
}

TSpinEdit* MakeSpinEdit(TComponentOwner& Parts, const char* Name, TWinControl* Parent, TRect Bounds,
                        int MinValue, int MaxValue, int MaxLength) {
    auto* edit = Parts.Make<TSpinEdit>(Name, Parent);
    edit->SetBounds(Bounds.Left, Bounds.Top, Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
    edit->SetMinValue(MinValue);
    edit->SetMaxValue(MaxValue);
    edit->SetMaxLength(MaxLength);
    edit->SetValue(0);
    return edit;
}

TCheckBox* MakeCheckBox(TComponentOwner& Parts, const char* Name, TWinControl* Parent, int Top,
                        const char* Caption, bool Checked) {
    auto* box = Parts.Make<TCheckBox>(Name, Parent);
    box->SetBounds(6, Top, 130, 18);
    box->SetCaption(Caption);
    box->SetChecked(Checked);
    return box;
}

TGroupBox* MakeGroupBox(TComponentOwner& Parts, const char* Name, TWinControl* Parent, TRect Bounds,
                        const char* Caption) {
    auto* group = Parts.Make<TGroupBox>(Name, Parent);
    group->SetBounds(Bounds.Left, Bounds.Top, Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
    group->SetCaption(Caption);
    return group;
}

} // namespace

void TMobrelForm::CreatePanel1() {
    CreateFileGroup();
    CreateCastGroup();
    CreateScoreGroup();
    Button1 = FParts.MakeButton("Button1", ScrollBox2, TRect{4, 326, 72, 348}, "初期化");
    Button10 = FParts.MakeButton("Button10", ScrollBox2, TRect{76, 326, 144, 348}, "終了(&X)");
}

void TMobrelForm::CreateFileGroup() {
    GroupBox1 = MakeGroupBox(FParts, "GroupBox1", ScrollBox2, TRect{2, 0, PanelWidth, 68}, "ファイル");
    BitBtn25 =
        MakeGlyphButton(FParts, "BitBtn25", GroupBox1, 0, 0, "新", FileGlyphColor, "背景を新規作成します");
    BitBtn2 = MakeGlyphButton(FParts, "BitBtn2", GroupBox1, 1, 0, "開", FileGlyphColor, "メイン画像を開く");
    BitBtn24 =
        MakeGlyphButton(FParts, "BitBtn24", GroupBox1, 2, 0, "貼", FileGlyphColor, "メイン画像へ張り付け");
    BitBtn4 = MakeGlyphButton(FParts, "BitBtn4", GroupBox1, 3, 0, "写", FileGlyphColor,
                              "表示中の画像をクリップボードにコピー");
    BitBtn5 = MakeGlyphButton(FParts, "BitBtn5", GroupBox1, 0, 1, "保", FileGlyphColor, "ＧＩＦで保存");
    BitBtn3 = MakeGlyphButton(FParts, "BitBtn3", GroupBox1, 1, 1, "読", FileGlyphColor, "スコアを開く");
    BitBtn6 = MakeGlyphButton(FParts, "BitBtn6", GroupBox1, 2, 1, "記", FileGlyphColor, "スコア保存");
    Shape4 = MakeSwatch(FParts, "Shape4", GroupBox1, 102, 17, clWhite, "イメージの背景色を設定します");
}

void TMobrelForm::CreateCastGroup() {
    GroupBox2 = MakeGroupBox(FParts, "GroupBox2", ScrollBox2, TRect{2, 70, PanelWidth, 166}, "キャスト");
    BitBtn1 = MakeGlyphButton(FParts, "BitBtn1", GroupBox2, 0, 0, "開", CastGlyphColor, "キャスト画像を開く");
    BitBtn23 = MakeGlyphButton(FParts, "BitBtn23", GroupBox2, 1, 0, "複", CastGlyphColor, "キャストコピー");
    BitBtn7 = MakeGlyphButton(FParts, "BitBtn7", GroupBox2, 2, 0, "貼", CastGlyphColor,
                              "クリップボードからキャストに張り付け");
    insertcast = MakeGlyphButton(FParts, "insertcast", GroupBox2, 3, 0, "挿", CastGlyphColor,
                                 "クリップボードから挿入します");
    BitBtn8 = MakeGlyphButton(FParts, "BitBtn8", GroupBox2, 4, 0, "削", CastGlyphColor, "キャスト削除");
    Label14 = FParts.MakeLabel("Label14", GroupBox2, 6, 48, "透過属性設定");
    Shape3 = MakeSwatch(FParts, "Shape3", GroupBox2, 86, 44, clWhite, "キャストの透過属性を設定します");
    Button4 = FParts.MakeButton("Button4", GroupBox2, TRect{4, 68, 70, 90}, "位置変更");
    Button4->SetHint("キャスト配置時のマウスポインタを指定します");
    Button5 = FParts.MakeButton("Button5", GroupBox2, TRect{72, 68, 138, 90}, "色変更");
    Button5->SetHint("キャストの任意の色を変更します");
}

void TMobrelForm::CreateScoreGroup() {
    GroupBox3 = MakeGroupBox(FParts, "GroupBox3", ScrollBox2, TRect{2, 168, PanelWidth, 322}, "スコア");
    BitBtn9 = MakeGlyphButton(FParts, "BitBtn9", GroupBox3, 0, 0, "複", ScoreGlyphColor, "スコアコピー");
    BitBtn10 =
        MakeGlyphButton(FParts, "BitBtn10", GroupBox3, 1, 0, "貼", ScoreGlyphColor, "スコアの張り付け");
    BitBtn22 = MakeGlyphButton(FParts, "BitBtn22", GroupBox3, 2, 0, "削", ScoreGlyphColor, "スコアの削除");
    BitBtn11 =
        MakeGlyphButton(FParts, "BitBtn11", GroupBox3, 3, 0, "切", ScoreGlyphColor, "スコアの切り取り");
    BitBtn16 = MakeGlyphButton(FParts, "BitBtn16", GroupBox3, 4, 0, "全", ScoreGlyphColor,
                               "スコアを全て削除します。");
    BitBtn13 = FParts.Make<TBitBtn>("BitBtn13", GroupBox3);
    BitBtn13->SetBounds(GlyphLeft(5), GlyphTop(0), GlyphButtonSize, GlyphButtonSize);
    BitBtn13->SetCaption("PS");
    BitBtn13->SetHint("ポイントセット");
    BitBtn26 = MakeGlyphButton(FParts, "BitBtn26", GroupBox3, 0, 1, "調", ScoreGlyphColor, "スコア調整");
    BitBtn27 = MakeGlyphButton(FParts, "BitBtn27", GroupBox3, 1, 1, "↔", ScoreGlyphColor,
                               "スコアを左右中央にします。");
    BitBtn28 = MakeGlyphButton(FParts, "BitBtn28", GroupBox3, 2, 1, "↕", ScoreGlyphColor,
                               "スコアを上下中央にします");
    BitBtn12 = MakeGlyphButton(FParts, "BitBtn12", GroupBox3, 3, 1, "→", ScoreGlyphColor, "トゥイーン");
    BitBtn19 = MakeGlyphButton(FParts, "BitBtn19", GroupBox3, 4, 1, "○", ScoreGlyphColor, "回転トゥイーン");
    BitBtn20 = MakeGlyphButton(FParts, "BitBtn20", GroupBox3, 5, 1, "片", ScoreGlyphColor, "片道トゥイーン");
    Label1 = FParts.MakeLabel("Label1", GroupBox3, 4, 72, "X =");
    SpinEdit1 = MakeSpinEdit(FParts, "SpinEdit1", GroupBox3, TRect{23, 68, 70, 88}, -999, 999, 4);
    Label2 = FParts.MakeLabel("Label2", GroupBox3, 73, 72, "Y =");
    SpinEdit2 = MakeSpinEdit(FParts, "SpinEdit2", GroupBox3, TRect{92, 68, 139, 88}, -999, 999, 4);
    Label5 = FParts.MakeLabel("Label5", GroupBox3, 6, 96, "ウェイト");
    SpinEdit4 = MakeSpinEdit(FParts, "SpinEdit4", GroupBox3, TRect{74, 92, 138, 112}, 0, 1000, 5);
    SpinEdit4->SetIncrement(10);
    // Room for three digits after each caption: the frame under the mouse on a row of its own.
    Label3 = FParts.MakeLabel("Label3", GroupBox3, 6, 118, "L =");
    Label4 = FParts.MakeLabel("Label4", GroupBox3, 28, 118, "1");
    Label8 = FParts.MakeLabel("Label8", GroupBox3, 62, 118, "R =");
    Label9 = FParts.MakeLabel("Label9", GroupBox3, 84, 118, "1");
    Label10 = FParts.MakeLabel("Label10", GroupBox3, 6, 134, "P =");
    Label11 = FParts.MakeLabel("Label11", GroupBox3, 28, 134, "1");
}

void TMobrelForm::CreatePanel2() {
    GroupBox4 = MakeGroupBox(FParts, "GroupBox4", ScrollBox3, TRect{2, 0, 146, 178}, "GIF設定");
    Label6 = FParts.MakeLabel("Label6", GroupBox4, 6, 22, "ループ回数");
    SpinEdit5 = MakeSpinEdit(FParts, "SpinEdit5", GroupBox4, TRect{76, 18, 136, 38}, 0, 999, 3);
    CheckBox1 = MakeCheckBox(FParts, "CheckBox1", GroupBox4, 42, "サイズ最適化", true);
    paletteall = MakeCheckBox(FParts, "paletteall", GroupBox4, 60, "パレット共通", true);
    ssize = MakeCheckBox(FParts, "ssize", GroupBox4, 78, "Sサイズ最適化", false);
    Label13 = FParts.MakeLabel("Label13", GroupBox4, 6, 104, "Sサイズ最適化色");
    Shape1 = MakeSwatch(FParts, "Shape1", GroupBox4, 114, 100, clWhite, "Sサイズ最適色を指定します");
    Label7 = FParts.MakeLabel("Label7", GroupBox4, 6, 130, "減色設定");
    colorb = FParts.Make<TComboBox>("colorb", GroupBox4);
    colorb->SetBounds(62, 126, 74, 22);
    colorb->SetItems({"デイザ", "256色", "128色", "64色", "32色", "16色", "8色"});
    Label12 = FParts.MakeLabel("Label12", GroupBox4, 6, 156, "透過属性");
    Shape2 = MakeSwatch(FParts, "Shape2", GroupBox4, 114, 152, clWhite, "GIF保存時の透過色を設定します");

    GroupBox6 = MakeGroupBox(FParts, "GroupBox6", ScrollBox3, TRect{2, 180, 146, 252}, "エフェクト実行");
    effectbox = FParts.Make<TComboBox>("effectbox", GroupBox6);
    effectbox->SetBounds(6, 18, 130, 22);
    effectbox->SetItems({"ブラインド横", "ブラインド縦", "スライド横１", "スライド横２", "スライド縦１",
                         "スライド縦２", "オーバーラップ", "回転", "拡縮", "モザイク", "センターワープ横１",
                         "センターワープ横２", "センターワープ縦１", "センターワープ縦２", "スクロール横",
                         "スクロール縦"});
    BitBtn17 = MakeGlyphButton(FParts, "BitBtn17", GroupBox6, 0, 1, "▽", EffectGlyphColor, "フェードアウト");
    BitBtn18 = MakeGlyphButton(FParts, "BitBtn18", GroupBox6, 1, 1, "△", EffectGlyphColor, "フェードイン");

    GroupBox5 = MakeGroupBox(FParts, "GroupBox5", ScrollBox3, TRect{2, 254, 146, 338}, "表示");
    kakudaibtn = FParts.Make<TRadioGroup>("kakudaibtn", GroupBox5);
    kakudaibtn->SetBounds(6, 14, 100, 64);
    kakudaibtn->SetCaption("拡大");
    kakudaibtn->SetColumns(2);
    kakudaibtn->SetItems({"X1", "X2", "X3", "X4"});
    kakudaibtn->SetItemIndex(0);
    kakudaibtn->SetHint("拡大率を指定します");
    BitBtn14 = MakeGlyphButton(FParts, "BitBtn14", GroupBox5, 5, 1, "▶", EffectGlyphColor, "テスト表示");
}

void TMobrelForm::CreateMenus() {
    auto item = [](TPopupMenu* Menu, TMenuItem*& Item, const char* Name, const char* Caption) {
        Item = Menu->Items()->Add(Caption);
        Item->Name = Name;
    };
    auto separator = [](TPopupMenu* Menu) { Menu->Items()->Add("-"); };

    PopupMenu1 = FParts.Make<TPopupMenu>("PopupMenu1");
    item(PopupMenu1, K1, "K1", "スコアを読み込む");
    item(PopupMenu1, K2, "K2", "スコアを保存");
    separator(PopupMenu1);
    item(PopupMenu1, K3, "K3", "スコアのコピー");
    item(PopupMenu1, K4, "K4", "スコアの貼りつけ");
    item(PopupMenu1, K5, "K5", "スコアの削除");
    item(PopupMenu1, K6, "K6", "スコアの切り取り");
    item(PopupMenu1, K7, "K7", "スコアの全削除");
    separator(PopupMenu1);
    item(PopupMenu1, K8, "K8", "トゥイーン");
    item(PopupMenu1, K9, "K9", "回転トゥイーン");
    item(PopupMenu1, K10, "K10", "片道トゥイーン");
    separator(PopupMenu1);
    item(PopupMenu1, K11, "K11", "スコア調整");
    item(PopupMenu1, K12, "K12", "スコアセンタリング（左右）");
    item(PopupMenu1, K13, "K13", "スコアセンタリング（上下）");
    separator(PopupMenu1);
    item(PopupMenu1, K14, "K14", "全初期化");
    separator(PopupMenu1);
    item(PopupMenu1, N11, "N11", "透過色設定");
    separator(PopupMenu1);
    item(PopupMenu1, pv1, "pv1", "パネル1表示");
    item(PopupMenu1, pv2, "pv2", "パネル2表示");
    pv1->SetChecked(true);
    pv2->SetChecked(true);
    score->SetPopupMenu(PopupMenu1);

    PopupMenu2 = FParts.Make<TPopupMenu>("PopupMenu2");
    item(PopupMenu2, K15, "K15", "ファイルから読み込み");
    item(PopupMenu2, K16, "K16", "キャストのコピー");
    item(PopupMenu2, K17, "K17", "キャストの貼りつけ");
    item(PopupMenu2, N5, "N5", "キャストの挿入");
    item(PopupMenu2, K18, "K18", "キャストの削除");
    separator(PopupMenu2);
    item(PopupMenu2, N7, "N7", "透過属性設定");
    item(PopupMenu2, N8, "N8", "色変更");
    item(PopupMenu2, N9, "N9", "マウスポイント変更");
    cast->SetPopupMenu(PopupMenu2);
}

void TMobrelForm::CreateDialogs() {
    OpenPictureDialog1 = FParts.Make<TOpenPictureDialog>("OpenPictureDialog1");
    OpenPictureDialog1->Filter = "BMP,JPEG (*.bmp;*.jpg)|*.bmp;*.jpg";
    OpenPictureDialog1->Options = ofHideReadOnly | ofAllowMultiSelect;
    SaveDialog1 = FParts.Make<TSaveDialog>("SaveDialog1");
    SaveDialog1->DefaultExt = "gif;bmp;avi";
    SaveDialog1->Filter = "ｱﾆﾒｰｼｮﾝGIF|*.gif|静止画GIF|*.gif|BMP連番保存|*.bmp|BMP単一保存|*.bmp|AVI|*.avi";
    SaveDialog1->Options = ofHideReadOnly | ofOverwritePrompt;
    SaveDialog2 = FParts.Make<TSaveDialog>("SaveDialog2");
    SaveDialog2->DefaultExt = "sct";
    SaveDialog2->Filter = "ScoreFile|*.sct";
    SaveDialog2->Options = ofHideReadOnly | ofOverwritePrompt;
    OpenDialog2 = FParts.Make<TOpenDialog>("OpenDialog2");
    OpenDialog2->Filter = "ScoreFile|*.sct";
    ColorDialog1 = FParts.Make<TColorDialog>("ColorDialog1");
}

void TMobrelForm::BindHandlers() {
    using TClick = void (TMobrelForm::*)(TObject*);
    OnCreate = BindHandler(this, &TMobrelForm::FormCreate);
    OnActivate = BindHandler(this, &TMobrelForm::FormActivate);
    OnClose = BindHandler(this, &TMobrelForm::FormClose);

    // Buttons, with the menu items that share their handlers.
    const std::pair<TButton*, TClick> buttons[] = {
        {BitBtn25, &TMobrelForm::BitBtn25Click},     {BitBtn2, &TMobrelForm::BitBtn2Click},
        {BitBtn4, &TMobrelForm::BitBtn4Click},       {BitBtn24, &TMobrelForm::BitBtn24Click},
        {BitBtn5, &TMobrelForm::BitBtn5Click},       {BitBtn1, &TMobrelForm::BitBtn1Click},
        {BitBtn23, &TMobrelForm::BitBtn23Click},     {BitBtn7, &TMobrelForm::BitBtn7Click},
        {insertcast, &TMobrelForm::insertcastClick}, {BitBtn8, &TMobrelForm::BitBtn8Click},
        {Button4, &TMobrelForm::Button4Click},       {Button5, &TMobrelForm::Button5Click},
        {BitBtn9, &TMobrelForm::BitBtn9Click},       {BitBtn10, &TMobrelForm::BitBtn10Click},
        {BitBtn22, &TMobrelForm::BitBtn22Click},     {BitBtn11, &TMobrelForm::BitBtn11Click},
        {BitBtn16, &TMobrelForm::BitBtn16Click},     {BitBtn13, &TMobrelForm::BitBtn13Click},
        {BitBtn26, &TMobrelForm::BitBtn26Click},     {BitBtn27, &TMobrelForm::BitBtn27Click},
        {BitBtn28, &TMobrelForm::BitBtn28Click},     {Button1, &TMobrelForm::Button1Click},
        {BitBtn12, &TMobrelForm::BitBtn12Click},     {BitBtn19, &TMobrelForm::BitBtn19Click},
        {BitBtn20, &TMobrelForm::BitBtn20Click},     {BitBtn3, &TMobrelForm::BitBtn3Click},
        {BitBtn6, &TMobrelForm::BitBtn6Click},       {BitBtn17, &TMobrelForm::BitBtn17Click},
        {BitBtn18, &TMobrelForm::BitBtn18Click},     {BitBtn14, &TMobrelForm::BitBtn14Click},
        {Button10, &TMobrelForm::Button10Click},
    };
    for (const auto& [button, handler] : buttons)
        button->OnClick = BindHandler(this, handler);
    const std::pair<TMenuItem*, TClick> items[] = {
        {K1, &TMobrelForm::BitBtn3Click},    {K2, &TMobrelForm::BitBtn6Click},
        {K3, &TMobrelForm::BitBtn9Click},    {K4, &TMobrelForm::BitBtn10Click},
        {K5, &TMobrelForm::BitBtn22Click},   {K6, &TMobrelForm::BitBtn11Click},
        {K7, &TMobrelForm::BitBtn16Click},   {K8, &TMobrelForm::BitBtn12Click},
        {K9, &TMobrelForm::BitBtn19Click},   {K10, &TMobrelForm::BitBtn20Click},
        {K11, &TMobrelForm::BitBtn26Click},  {K12, &TMobrelForm::BitBtn27Click},
        {K13, &TMobrelForm::BitBtn28Click},  {K14, &TMobrelForm::Button1Click},
        {N11, &TMobrelForm::N11Click},       {pv1, &TMobrelForm::pv1Click},
        {pv2, &TMobrelForm::pv2Click},       {K15, &TMobrelForm::BitBtn1Click},
        {K16, &TMobrelForm::BitBtn23Click},  {K17, &TMobrelForm::BitBtn7Click},
        {N5, &TMobrelForm::insertcastClick}, {K18, &TMobrelForm::BitBtn8Click},
        {N7, &TMobrelForm::N7Click},         {N8, &TMobrelForm::Button5Click},
        {N9, &TMobrelForm::Button4Click},
    };
    for (const auto& [item, handler] : items)
        item->OnClick = BindHandler(this, handler);

    Shape1->OnMouseDown = BindHandler(this, &TMobrelForm::Shape1MouseDown);
    Shape2->OnMouseDown = BindHandler(this, &TMobrelForm::Shape2MouseDown);
    Shape3->OnMouseDown = BindHandler(this, &TMobrelForm::Shape3MouseDown);
    Shape4->OnMouseDown = BindHandler(this, &TMobrelForm::Shape4MouseDown);
    kakudaibtn->OnClick = BindHandler(this, &TMobrelForm::kakudaibtnClick);
    SpinEdit4->OnChange = BindHandler(this, &TMobrelForm::SpinEdit4Change);

    score->OnDrawCell = BindHandler(this, &TMobrelForm::scoreDrawCell);
    score->OnKeyUp = BindHandler(this, &TMobrelForm::scoreKeyUp);
    score->OnMouseDown = BindHandler(this, &TMobrelForm::scoreMouseDown);
    score->OnMouseUp = BindHandler(this, &TMobrelForm::scoreMouseUp);
    score->OnMouseMove = BindHandler(this, &TMobrelForm::scoreMouseMove);
    score->OnRowMoved = BindHandler(this, &TMobrelForm::scoreRowMoved);

    cast->OnDblClick = BindHandler(this, &TMobrelForm::castDblClick);
    cast->OnDrawCell = BindHandler(this, &TMobrelForm::castDrawCell);
    cast->OnKeyUp = BindHandler(this, &TMobrelForm::castKeyUp);

    Image1->OnMouseDown = BindHandler(this, &TMobrelForm::Image1MouseDown);
    Image1->OnMouseMove = BindHandler(this, &TMobrelForm::Image1MouseMove);
    Image1->OnMouseUp = BindHandler(this, &TMobrelForm::Image1MouseUp);
}
