// The editing commands through the main window: BMP files in, delete, cut, copy and paste,
// the 200-frame limit on every path, and the screen size of an emptied list.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>

#include "FrameSetForms.h"
#include "toolkit/graphics/Clipboard.h"
#include "widgets/WidgetTestSupport.h"

namespace {

class EditCommandsTest : public FrameSetFormsTest {
protected:
    // BMP files of widths First, First + 1 ... so frames can be told apart by width.
    std::vector<std::string> Bitmaps(int Count, int First) {
        std::vector<std::string> files;
        for (int i = 0; i < Count; ++i)
            files.push_back(
                WriteBmp("b" + std::to_string(First + i) + ".bmp", First + i, 6, RGB(10 * i, 0, 200)));
        return files;
    }
    void NewBitmaps(int Count, int First) {
        Answers->ChooseFiles(Bitmaps(Count, First), 2);
        Form1->Button1->Click();
    }
    static std::vector<int> Range(int From, int To) {
        std::vector<int> values;
        for (int v = From; v <= To; ++v)
            values.push_back(v);
        return values;
    }
};

TEST_F(EditCommandsTest, NewWithBitmapsInDialogOrder) {
    NewBitmaps(5, 10);
    EXPECT_EQ(Range(10, 14), Widths());
    EXPECT_EQ(1, Form1->StringGrid1->Row());
    EXPECT_EQ("10", Form1->xsize->GetCaption());
    EXPECT_EQ((TRect{0, 0, 10, 6}), FrameFocusRect);
    // 24-bit files enter as 8-bit pictures with default settings.
    const TFrameEntry& frame = FrameList[0];
    EXPECT_EQ(8, frame.Image->GetBitCount());
    EXPECT_LE(frame.Image->GetPaletteSize(), 8); // one colour
    EXPECT_EQ(3, frame.BitsPerPixel);
    EXPECT_EQ(NoTransparentPoint, frame.TransparentPoint.X);
    EXPECT_EQ(0, frame.Delay);
    EXPECT_EQ(10, ScreenWidth);
    EXPECT_EQ(6, ScreenHeight);
    EXPECT_EQ(0, Form1->ProgressBar1->GetPosition());
}

TEST_F(EditCommandsTest, InsertedBitmapsFollowTheCurrentFrame) {
    NewBitmaps(5, 10);
    Form1->StringGrid1->SetRow(3); // frame 2
    Answers->ChooseFiles(Bitmaps(3, 20), 2);
    Form1->I1->Click();
    EXPECT_EQ((std::vector<int>{10, 11, 12, 20, 21, 22, 13, 14}), Widths());
    EXPECT_EQ(3, Form1->StringGrid1->Row());
    EXPECT_EQ("12", Form1->xsize->GetCaption());
    EXPECT_EQ(9, Form1->StringGrid1->GetRowCount());
    // The screen size stays that of the first frame.
    EXPECT_EQ(10, ScreenWidth);
}

TEST_F(EditCommandsTest, SmallPalettesKeepTheirDepth) {
    TKvDIB two;
    two.SetBitCount(1);
    two.SetWidth(3);
    two.SetHeight(2);
    two.SaveToFile(Path("two.bmp"));
    Answers->ChooseFiles({Path("two.bmp")}, 2);
    Form1->Button9->Click();
    ASSERT_EQ(1, FrameCount);
    EXPECT_EQ(1, FrameList[0].Image->GetBitCount());
    EXPECT_EQ(3, FrameList[0].BitsPerPixel);
}

TEST_F(EditCommandsTest, BitmapLoadingStopsAtTwoHundredFrames) {
    const std::string file = WriteBmp("one.bmp", 3, 3, clBlue);
    Answers->ChooseFiles(std::vector<std::string>(250, file), 2);
    Form1->Button1->Click();
    EXPECT_EQ(200, FrameCount);
    EXPECT_EQ(nullptr, FrameList[200].Image);
    EXPECT_TRUE(Answers->MessageTexts().empty());
}

TEST_F(EditCommandsTest, DeleteRemovesTheSelectedFrames) {
    NewBitmaps(5, 10);
    SelectRows(2, 3); // frames 1 and 2
    Form1->Delete1->Click();
    EXPECT_EQ((std::vector<int>{10, 13, 14}), Widths());
    EXPECT_EQ(4, Form1->StringGrid1->GetRowCount());
    EXPECT_EQ(nullptr, FrameList[3].Image);
    // The current row 3 now stands for the old frame 4.
    EXPECT_EQ(3, Form1->StringGrid1->Row());
    EXPECT_EQ("14", Form1->xsize->GetCaption());
}

TEST_F(EditCommandsTest, DeletingTheLastFramesMovesTheCurrentRowBack) {
    NewBitmaps(5, 10);
    SelectRows(4, 5);
    Form1->Button13->Click();
    EXPECT_EQ(Range(10, 12), Widths());
    EXPECT_EQ(3, Form1->StringGrid1->Row());
    EXPECT_EQ("12", Form1->xsize->GetCaption());
}

TEST_F(EditCommandsTest, DeletingEveryFrameShowsTheBlankScreenAndFreesTheScreenSize) {
    NewBitmaps(3, 10);
    SelectRows(1, 3);
    Form1->Delete1->Click();
    EXPECT_EQ(0, FrameCount);
    EXPECT_EQ(2, Form1->StringGrid1->GetRowCount());
    EXPECT_EQ(1, Form1->StringGrid1->Row());
    EXPECT_EQ(10, Form1->Image1->Picture()->Width());
    // The next frame sets the screen size again.
    Answers->ChooseFiles(Bitmaps(1, 30), 2);
    Form1->I1->Click();
    EXPECT_EQ(30, ScreenWidth);
    EXPECT_EQ("30", Form1->allx->GetCaption());
}

TEST_F(EditCommandsTest, CutCopiesOnlyTheCurrentFrameAndDeletesTheSelection) {
    NewBitmaps(5, 10);
    // Rows 2..4 selected by a drag from row 2: the current row stays 2 (frame 1, 11 wide).
    TStringGrid& grid = *Form1->StringGrid1;
    auto centre = [&](int Row) {
        const TRect r = grid.CellRect(0, Row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    };
    SendMouse(GridView(grid), QEvent::MouseButtonPress, centre(2), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseMove, centre(4), Qt::LeftButton);
    SendMouse(GridView(grid), QEvent::MouseButtonRelease, centre(4), Qt::LeftButton);
    EXPECT_EQ(Form1->xsize->GetCaption(), "11"); // the settings shown are the current frame's
    Form1->Cut1->Click();
    EXPECT_EQ((std::vector<int>{10, 14}), Widths());
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(11, copied.width());
    EXPECT_EQ(6, copied.height());
}

TEST_F(EditCommandsTest, PasteInsertsTheClipboardAfterTheCurrentFrame) {
    NewBitmaps(3, 10);
    Form1->StringGrid1->SetRow(2);
    Form1->Copy1->Click(); // frame 1
    Form1->StringGrid1->SetRow(3);
    Form1->Paste1->Click();
    EXPECT_EQ((std::vector<int>{10, 11, 12, 11}), Widths());
    EXPECT_EQ(3, Form1->StringGrid1->Row());
    EXPECT_EQ(8, FrameList[3].Image->GetBitCount());
}

TEST_F(EditCommandsTest, PasteIntoAnEmptyListSetsTheScreenSize) {
    QImage image(17, 9, QImage::Format_RGB32);
    image.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(image);
    Form1->Button12->Click();
    ASSERT_EQ(1, FrameCount);
    EXPECT_EQ(17, ScreenWidth);
    EXPECT_EQ(9, ScreenHeight);
    EXPECT_EQ(8, FrameList[0].Image->GetBitCount());
    EXPECT_EQ(RGB(0, 255, 0), FrameList[0].Image->GetColors(FrameList[0].Image->GetPixels(3, 3)));
}

TEST_F(EditCommandsTest, PasteIntoAFullListDoesNothing) {
    Answers->ChooseFiles(std::vector<std::string>(200, WriteBmp("one.bmp", 3, 3, clBlue)), 2);
    Form1->Button1->Click();
    ASSERT_EQ(200, FrameCount);
    // A mark on the view stays: not even a redraw.
    Form1->Image1->Canvas()->SetPixels(1, 1, clRed);
    Form1->Copy1->Click();
    Form1->Paste1->Click();
    EXPECT_EQ(200, FrameCount);
    EXPECT_EQ(clRed, Form1->Image1->Canvas()->GetPixels(1, 1));
}

} // namespace
