// The frame list as the main window shows it: insertion with the grid and the screen
// size, the current frame's settings, and the commands new, insert, delete, cut, copy and
// paste.
#include <algorithm>

#include "frameset/forms/gifread.h"
#include "toolkit/graphics/Clipboard.h"
#include "toolkit/graphics/ScopeExit.h"
#include "toolkit/widgets/ScopeGuards.h"

namespace {

// A bitmap becomes a frame drawn through a device bitmap of its size, and the first of an empty
// list the screen: one too large for those is refused, before it is converted, with the error
// of Reader, which read it.
void RefuseUnlessShown(TKvDIB& Bitmap, const char* Reader) {
    if (!PictureSizeFits(Bitmap.Width(), Bitmap.Height())) throw ImageTooLarge(Reader);
}

} // namespace

void TForm1::SelectedFrames(int& First, int& Last) const {
    const TGridRect selection = StringGrid1->GetSelection();
    First = std::max(selection.Top - 1, 0);
    Last = std::min(selection.Bottom - 1, FrameCount - 1);
}

// The fresh picture shows no outline yet, so none is erased from it.
void TForm1::ShowBlankScreen() {
    const TColor background = Image1->Canvas()->Brush.Color;
    Image1->Picture()->SetGraphic(ScreenBitmap.get());
    Image1->Canvas()->Brush.Color = background;
    FrameFocusRect = TRect{};
}

void TForm1::InsertWithView(int Index, const TFrameSettings& Settings, TKvDIB& Picture) {
    const bool first = FrameCount == 0;
    // Sized before the list changes: a screen too large to hold leaves the list as it was.
    if (first) {
        ScreenBitmap->SetPixelFormat(pfDevice);
        ScreenBitmap->SetSize(SourceScreenWidth, SourceScreenHeight);
    }
    InsertFrame(Index, Settings, Picture);
    if (first) {
        allx->SetCaption(std::to_string(SourceScreenWidth));
        ally->SetCaption(std::to_string(SourceScreenHeight));
        ShowBlankScreen();
    }
    StringGrid1->SetRowCount(FrameCount + 1);
    StringGrid1->SetCells(0, FrameCount, std::to_string(FrameCount));
}

void TForm1::AddGif(int Index) {
    InsertWithView(Index, DecodedFrame, *DecodeImage);
}

void TForm1::insertbitmap(TKvDIB& Bitmap, int Index) {
    if (FrameCount == 0) {
        SourceScreenWidth = Bitmap.Width();
        SourceScreenHeight = Bitmap.Height();
    }
    InsertWithView(Index, BitmapFrameSettings(Bitmap), Bitmap);
}

void TForm1::settei(int Index) {
    if (FrameCount <= 0 || Index < 0 || Index >= FrameCount) return;
    TFrameEntry& frame = FrameList[std::size_t(Index)];
    touka->SetChecked(frame.Transparent);
    Shape1->SetBrushColor(frame.Transparent ? frame.Image->GetColors(frame.TransparentIndex) : clWhite);
    xsize->SetCaption(std::to_string(frame.Width));
    ysize->SetCaption(std::to_string(frame.Height));
    imgposx->SetValue(frame.Left);
    imgposy->SetValue(frame.Top);
    waitdata->SetValue(frame.Delay);
    // Disposals 4..7 read from a file show no item.
    ComboBox1->SetItemIndex(frame.Disposal < DisposalTexts.size() ? frame.Disposal : -1);
}

void TForm1::ShowCurrentFrame() {
    testviews(CurrentFrame());
    settei(CurrentFrame());
    StringGrid1->SetFocus();
}

// Runs before the box toggles: the selected frames take the state the click gives it.
void TForm1::toukaMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (FrameCount == 0) return;
    const bool transparent = !touka->GetChecked();
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    for (int i = first; i <= last; ++i)
        FrameList[std::size_t(i)].Transparent = transparent;
    testviews(CurrentFrame());
}

void TForm1::StringGrid1KeyUp(TObject*, std::uint16_t&, TShiftState) {
    if (FrameCount == 0) return;
    settei(CurrentFrame());
    testviews(CurrentFrame());
}

void TForm1::StringGrid1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    if (FrameCount == 0) return;
    settei(CurrentFrame());
    testviews(CurrentFrame());
}

TFrameLoadUndo::TFrameLoadUndo(TForm1& Form)
    : FForm(Form), FRowCount(Form.StringGrid1->GetRowCount()), FRow(Form.StringGrid1->Row()),
      FScreenWidthText(Form.allx->GetCaption()), FScreenHeightText(Form.ally->GetCaption()),
      FViewBackground(Form.Image1->Canvas()->Brush.Color), FFocusRect(FrameFocusRect),
      FScreenBitmapWidth(ScreenBitmap->Width()), FScreenBitmapHeight(ScreenBitmap->Height()) {
    const TGridRect selection = Form.StringGrid1->GetSelection();
    FAnchorRow = selection.Top == FRow ? selection.Bottom : selection.Top;
    if (TGraphic* view = Form.Image1->Picture()->GetGraphic()) {
        FView = std::make_unique<TBitmap>();
        FView->Assign(view);
    }
}

void TFrameLoadUndo::Restore() {
    FFrames.Restore();
    // The blank screen is black at its size; nothing draws on it.
    ScreenBitmap->SetSize(FScreenBitmapWidth, FScreenBitmapHeight);
    TStringGrid& grid = *FForm.StringGrid1;
    grid.SetRowCount(FRowCount);
    for (int row = 1; row <= FrameCount; ++row)
        grid.SetCells(0, row, std::to_string(row));
    grid.SetSelection(TGridRect{0, FAnchorRow, 0, FRow});
    FForm.allx->SetCaption(FScreenWidthText);
    FForm.ally->SetCaption(FScreenHeightText);
    FForm.Image1->Picture()->SetGraphic(FView.get());
    FForm.Image1->Canvas()->Brush.Color = FViewBackground;
    FrameFocusRect = FFocusRect;
}

void TForm1::EmptyFrameList() {
    ClearFrames();
    StringGrid1->SetRowCount(2);
    StringGrid1->SetRow(1);
}

// Pictures above 8 bits per pixel enter the list as 8-bit pictures. A file that cannot be
// read leaves the list as it was before the command.
void TForm1::LoadBitmaps(TLoadPlace Place) {
    TFrameLoadUndo undo(*this);
    if (Place == lpReplace) EmptyFrameList();
    const int first = InsertPosition();
    auto scratch = std::make_unique<TKvDIB>();
    const std::vector<std::string>& files = OpenDialog1->Files();
    ProgressBar1->SetMax(static_cast<int>(files.size()) - 1);
    {
        TScopeExit restoreOnFailure([&undo] { undo.Restore(); });
        const TProgressReset reset(*ProgressBar1);
        for (std::size_t k = 0; k < files.size() && FrameCount < MaxFrameCount; ++k) {
            scratch->LoadFromFile(files[k]);
            RefuseUnlessShown(*scratch, StreamReaderName);
            if (scratch->GetBitCount() > 8) scratch->SetPixelFormat(kvpf8Bit);
            insertbitmap(*scratch, first + static_cast<int>(k));
            ProgressBar1->SetPosition(static_cast<int>(k));
        }
        restoreOnFailure.Dismiss();
    }
    if (FrameCount > 0) ShowCurrentFrame();
}

// The dialog's filter, not the file's extension, chooses the reader. The new set replaces the
// list only once it has been read.
void TForm1::Button1Click(TObject*) {
    if (!OpenDialog1->Execute()) return;
    if (OpenDialog1->FilterIndex == 1)
        newopen(OpenDialog1->GetFileName(), lpReplace);
    else
        LoadBitmaps(lpReplace);
}

void TForm1::N1Click(TObject* Sender) {
    Button1Click(Sender);
}

void TForm1::I1Click(TObject*) {
    if (!OpenDialog1->Execute() || FrameCount >= MaxFrameCount) return;
    if (OpenDialog1->FilterIndex == 1)
        newopen(OpenDialog1->GetFileName());
    else
        LoadBitmaps(lpInsert);
}

void TForm1::Delete1Click(TObject*) {
    if (FrameCount == 0) return;
    int first = 0;
    int last = 0;
    SelectedFrames(first, last);
    DeleteFrames(first, last);
    if (FrameCount == 0) {
        StringGrid1->SetRowCount(2);
        StringGrid1->SetRow(1);
        ShowBlankScreen();
        return;
    }
    StringGrid1->SetRowCount(FrameCount + 1);
    testviews(CurrentFrame());
    settei(CurrentFrame());
}

// Only the current frame goes to the clipboard, whatever the selection.
void TForm1::Copy1Click(TObject*) {
    if (FrameCount == 0) return;
    Clipboard().Assign(FrameList[std::size_t(CurrentFrame())].Image.get());
}

void TForm1::Cut1Click(TObject* Sender) {
    if (FrameCount == 0) return;
    Copy1Click(Sender);
    Delete1Click(Sender);
}

void TForm1::Paste1Click(TObject*) {
    if (FrameCount >= MaxFrameCount) return;
    if (Clipboard().HasFormat(CF_BITMAP)) {
        auto scratch = std::make_unique<TKvDIB>();
        scratch->Assign(&Clipboard());
        RefuseUnlessShown(*scratch, ClipboardReaderName);
        if (scratch->GetBitCount() > 8) scratch->SetPixelFormat(kvpf8Bit);
        insertbitmap(*scratch, InsertPosition());
    }
    if (FrameCount > 0) {
        testviews(CurrentFrame());
        settei(CurrentFrame());
    }
}
