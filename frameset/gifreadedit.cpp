// The frame list as the main window shows it: insertion with the grid and the screen
// size, the current frame's settings, and the commands new, insert, delete, cut, copy and
// paste.
#include <algorithm>

#include "frameset/gifread.h"
#include "toolkit/graphics/Clipboard.h"

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

// Pictures above 8 bits per pixel enter the list as 8-bit pictures.
void TForm1::LoadBitmaps(int First) {
    auto scratch = std::make_unique<TKvDIB>();
    const std::vector<std::string>& files = OpenDialog1->Files();
    ProgressBar1->SetMax(static_cast<int>(files.size()) - 1);
    try {
        for (std::size_t k = 0; k < files.size() && FrameCount < MaxFrameCount; ++k) {
            scratch->LoadFromFile(files[k]);
            if (scratch->GetBitCount() > 8) scratch->SetPixelFormat(kvpf8Bit);
            insertbitmap(*scratch, First + static_cast<int>(k));
            ProgressBar1->SetPosition(static_cast<int>(k));
        }
    } catch (...) {
        ProgressBar1->SetPosition(0);
        throw;
    }
    ProgressBar1->SetPosition(0);
    if (FrameCount > 0) ShowCurrentFrame();
}

void TForm1::Button1Click(TObject*) {
    if (!OpenDialog1->Execute()) return;
    ClearFrames();
    StringGrid1->SetRowCount(2);
    StringGrid1->SetRow(1);
    // The dialog's filter, not the file's extension, chooses the reader.
    if (OpenDialog1->FilterIndex == 1)
        newopen(OpenDialog1->GetFileName());
    else
        LoadBitmaps(0);
}

void TForm1::N1Click(TObject* Sender) {
    Button1Click(Sender);
}

void TForm1::I1Click(TObject*) {
    if (!OpenDialog1->Execute() || FrameCount >= MaxFrameCount) return;
    if (OpenDialog1->FilterIndex == 1)
        newopen(OpenDialog1->GetFileName());
    else
        LoadBitmaps(InsertPosition());
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
        if (scratch->GetBitCount() > 8) scratch->SetPixelFormat(kvpf8Bit);
        insertbitmap(*scratch, InsertPosition());
    }
    if (FrameCount > 0) {
        testviews(CurrentFrame());
        settei(CurrentFrame());
    }
}
