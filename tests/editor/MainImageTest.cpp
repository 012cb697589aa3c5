// The main image from BMP and JPEG files and from the clipboard, the canvas built around it,
// unreadable files, and the background colour of the canvas margin.
#include "CastPictureFiles.h"
#include "imagelib/KvDIBTestFiles.h"

namespace {

constexpr QRgb Orange = qRgb(240, 120, 16);
constexpr QRgb Navy = qRgb(16, 32, 160);
constexpr TColor White = 0x00FFFFFF;
constexpr TColor Green = 0x0000FF00;

class MainImageTest : public PictureFilesTest {
protected:
    TColor MainPixel(int X, int Y) { return Doc().MainImage->Canvas()->GetPixels(X, Y); }
    TColor CanvasPixel(int X, int Y) { return Doc().CanvasBitmap->Canvas()->GetPixels(X, Y); }

    void OpenMainImage(const std::string& Path) {
        Answers->ChooseFiles({Path});
        form->BitBtn2->Click();
    }

    // The canvas around a Width x Height main image: the margin in the background colour.
    void ExpectCanvasAround(int Width, int Height) {
        TEditorDocument& doc = Doc();
        ASSERT_NE(doc.CanvasBitmap, nullptr);
        EXPECT_EQ(doc.CanvasBitmap->Width(), Width + 100);
        EXPECT_EQ(doc.CanvasBitmap->Height(), Height + 100);
        EXPECT_EQ(doc.MainImageRect.Left, 50);
        EXPECT_EQ(doc.MainImageRect.Top, 50);
        EXPECT_EQ(doc.MainImageRect.Right, 50 + Width);
        EXPECT_EQ(doc.MainImageRect.Bottom, 50 + Height);
        EXPECT_EQ(CanvasPixel(49, 49), doc.BackgroundColor);
        EXPECT_EQ(CanvasPixel(50 + Width, 50 + Height), doc.BackgroundColor);
        EXPECT_EQ(CanvasPixel(50, 50), MainPixel(0, 0));
        EXPECT_EQ(CanvasPixel(49 + Width, 49 + Height), MainPixel(Width - 1, Height - 1));
    }
};

TEST_F(MainImageTest, OpensAJpegMadeByLibjpegAndABmpMadeByQt) {
    const std::string jpeg = WriteJpeg("photo.jpg", TwoColorImage(64, 32, Orange, Navy));
    OpenMainImage(jpeg);
    ASSERT_EQ(Answers->Log().size(), 1u);
    EXPECT_EQ(Answers->Log()[0].File.Filter, "BMP,JPEG (*.bmp;*.jpg)|*.bmp;*.jpg");
    EXPECT_TRUE(Answers->Messages().empty());
    ASSERT_EQ(Doc().MainImage->Width(), 64);
    ASSERT_EQ(Doc().MainImage->Height(), 32);
    EXPECT_TRUE(NearColor(MainPixel(8, 8), Orange));
    EXPECT_TRUE(NearColor(MainPixel(56, 24), Navy));
    EXPECT_EQ(Doc().MainImage->GetPixelFormat(), pfDevice);
    ExpectCanvasAround(64, 32);
    EXPECT_EQ(form->OpenPictureDialog1->InitialDir, Folder());

    // The upper-case extension of a BMP file is found too.
    const std::string bmp = WriteBmp("shots/SHOT.BMP", TwoColorImage(10, 7, Navy, Orange));
    OpenMainImage(bmp);
    ASSERT_EQ(Doc().MainImage->Width(), 10);
    EXPECT_EQ(MainPixel(0, 6), ToColor(Navy));
    EXPECT_EQ(MainPixel(9, 0), ToColor(Orange));
    ExpectCanvasAround(10, 7);
    EXPECT_EQ(form->OpenPictureDialog1->InitialDir, Folder() + "shots/");
}

TEST_F(MainImageTest, AFileIsReadByItsOwnExtension) {
    // A dot and a B elsewhere in the path, in a folder's name or before the extension, make
    // no BMP; an extension beginning with B does.
    OpenMainImage(WriteJpeg("old.backup/photo.Beach.jpg", TwoColorImage(32, 16, Navy, Orange)));
    EXPECT_TRUE(Answers->Messages().empty());
    ASSERT_EQ(Doc().MainImage->Width(), 32);
    EXPECT_TRUE(NearColor(MainPixel(4, 4), Navy));

    OpenMainImage(WriteBmp("photo.jpg.b", TwoColorImage(12, 6, Orange, Navy)));
    EXPECT_TRUE(Answers->Messages().empty());
    ASSERT_EQ(Doc().MainImage->Width(), 12);
    EXPECT_EQ(MainPixel(0, 0), ToColor(Orange));
    ExpectCanvasAround(12, 6);
}

TEST_F(MainImageTest, ADamagedJpegOrATruncatedBmpShowsTheErrorBoxAndChangesNothing) {
    OpenMainImage(WriteBmp("good.bmp", TwoColorImage(16, 8, Orange, Navy)));
    const std::string folder = form->OpenPictureDialog1->InitialDir;

    const std::vector<std::uint8_t> jpeg = EncodeJpeg(TwoColorImage(64, 64, Navy, Orange));
    const std::string damaged = WriteBytes(
        "bad/damaged.jpg", std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 3));
    const std::string bmp = WriteBmp("bad/cut.bmp", TwoColorImage(40, 40, Navy, Orange));
    const std::string truncated = Truncate(bmp, 54 + 40 * 40);
    for (const std::string& path : {damaged, truncated}) {
        SCOPED_TRACE(path);
        const std::size_t shown = Answers->Messages().size();
        OpenMainImage(path);
        ASSERT_EQ(Answers->Messages().size(), shown + 1);
        EXPECT_FALSE(Answers->Messages().back().Text.empty());
        EXPECT_EQ(Doc().MainImage->Width(), 16);
        EXPECT_EQ(MainPixel(15, 7), ToColor(Navy));
        ExpectCanvasAround(16, 8);
        EXPECT_EQ(form->OpenPictureDialog1->InitialDir, folder);
    }

    // A cancelled dialog changes nothing and says nothing.
    const std::size_t shown = Answers->Messages().size();
    Answers->CancelDialog(ikFileDialog);
    form->BitBtn2->Click();
    EXPECT_EQ(Answers->Messages().size(), shown);
    EXPECT_EQ(Doc().MainImage->Width(), 16);
}

TEST_F(MainImageTest, PastesTheClipboardsBitmap) {
    // Nothing on the clipboard: silently nothing.
    form->BitBtn24->Click();
    EXPECT_EQ(Doc().CanvasBitmap, nullptr);
    EXPECT_TRUE(Answers->Log().empty());

    QGuiApplication::clipboard()->setImage(TwoColorImage(6, 4, Orange, Navy));
    form->BitBtn24->Click();
    ASSERT_EQ(Doc().MainImage->Width(), 6);
    EXPECT_EQ(MainPixel(0, 0), ToColor(Orange));
    EXPECT_EQ(MainPixel(5, 3), ToColor(Navy));
    ExpectCanvasAround(6, 4);
}

TEST_F(MainImageTest, ANewBlankPictureOpensOnTheLastValuesOrOnTheMainImage) {
    // First opening: 100 x 100 in white, the size controls uncovered.
    int width = 0, height = 0;
    TColor color = 0;
    auto readAndConfirm = [&](TForm&) {
        width = newform->SpinEdit1->GetValue();
        height = newform->SpinEdit2->GetValue();
        color = newform->Shape1->GetBrush().Color;
        EXPECT_FALSE(newform->Panel1->GetVisible());
        newform->Button1->Click();
    };
    Answers->OnForm(readAndConfirm);
    form->BitBtn25->Click();
    EXPECT_EQ(Answers->Log().at(0).FormCaption, "背景新規作成");
    EXPECT_EQ(width, 100);
    EXPECT_EQ(height, 100);
    EXPECT_EQ(color, White);
    ASSERT_EQ(Doc().MainImage->Width(), 100);
    EXPECT_EQ(MainPixel(99, 99), White);
    ExpectCanvasAround(100, 100);

    // With a main image: its size and the colour of its top-left pixel.
    OpenMainImage(WriteBmp("two.bmp", TwoColorImage(64, 32, Orange, Navy)));
    Answers->OnForm(readAndConfirm);
    form->BitBtn25->Click();
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);
    EXPECT_EQ(color, ToColor(Orange));
    EXPECT_EQ(MainPixel(63, 31), ToColor(Orange)); // the right half is repainted
}

TEST_F(MainImageTest, TypedSizesAreBroughtIntoRangeAndTheColourComesFromTheDialog) {
    Answers->OnForm([](TForm&) {
        newform->SpinEdit1->SetText("5");
        newform->SpinEdit2->SetText("2000");
        newform->Shape1MouseDown(newform->Shape1, mbLeft, 0, 3, 3);
        newform->Button1->Click();
    });
    Answers->ChooseColor(Green);
    form->BitBtn25->Click();
    EXPECT_EQ(Doc().MainImage->Width(), 10);
    EXPECT_EQ(Doc().MainImage->Height(), 1000);
    EXPECT_EQ(MainPixel(5, 500), Green);

    // Text that is no number reads as 10.
    Answers->OnForm([](TForm&) {
        newform->SpinEdit1->SetText("");
        newform->SpinEdit2->SetValue(20);
        newform->Button1->Click();
    });
    form->BitBtn25->Click();
    EXPECT_FALSE(newform->NewFormCancelled);
    EXPECT_EQ(Doc().MainImage->Width(), 10);
    EXPECT_EQ(Doc().MainImage->Height(), 20);

    // "CANCEL", and closing the window with its close box, change nothing.
    const std::function<void(TForm&)> leave[] = {[](TForm&) { newform->Button2->Click(); },
                                                 [](TForm& Form) { Form.Close(); }};
    for (const auto& how : leave) {
        Answers->OnForm([&how](TForm& Form) {
            newform->SpinEdit1->SetValue(300);
            newform->Shape1->SetBrushColor(White);
            how(Form);
        });
        form->BitBtn25->Click();
        EXPECT_TRUE(newform->NewFormCancelled);
        EXPECT_EQ(Doc().MainImage->Width(), 10);
        EXPECT_EQ(MainPixel(5, 10), Green);
    }
}

TEST_F(MainImageTest, AnotherSizeKeepsThePositionsAndCastsAndTheImageAtTheMargin) {
    AddCast(0, 8, 8, Green);
    SetCell(0, 0, TPoint{70, 60});
    for (int size : {40, 90}) {
        Answers->OnForm([size](TForm&) {
            newform->SpinEdit1->SetValue(size);
            newform->SpinEdit2->SetValue(size / 2);
            newform->Button1->Click();
        });
        form->BitBtn25->Click();
        ExpectCanvasAround(size, size / 2);
        EXPECT_EQ(Doc().Channels[0].Positions[0].X, 70);
        EXPECT_EQ(Doc().Channels[0].Positions[0].Y, 60);
        EXPECT_EQ(Doc().Channels[0].CastCount, 1);
        EXPECT_TRUE(Doc().Channels[0].CellSet[0]);
    }
}

TEST_F(MainImageTest, TheFrameViewFollowsAtTheCurrentZoom) {
    form->Show();
    Application->ProcessMessages();
    form->kakudaibtn->ClickItem(1);
    OpenMainImage(WriteBmp("view.bmp", TwoColorImage(20, 10, Orange, Navy)));
    Application->ProcessMessages();
    EXPECT_EQ(form->Image1->Picture()->Width(), 240);
    EXPECT_EQ(form->Image1->Picture()->Height(), 220);
    EXPECT_EQ(ViewPixel(110, 110), ToColor(Orange));
}

// A 1-bit picture 170000 pixels wide and one high: its canvas can be made, but not the frame
// view of that at four times its size.
TEST_F(MainImageTest, AFrameViewTooLargeAtTheZoomRefusesTheImageAndTheZoom) {
    const std::string wide = WriteBytes("wide.bmp", OneRowFile(170000));
    form->Show();
    Application->ProcessMessages();

    form->kakudaibtn->ClickItem(3);
    OpenMainImage(wide);
    EXPECT_EQ(Answers->MessageTexts(),
              (std::vector<std::string>{"TKvInternalDIB.LoadFromStream: Image is Too Large"}));
    EXPECT_EQ(Doc().CanvasBitmap, nullptr);

    form->kakudaibtn->ClickItem(0);
    OpenMainImage(wide);
    Application->ProcessMessages();
    ASSERT_NE(Doc().CanvasBitmap, nullptr);
    EXPECT_EQ(form->Image1->Picture()->Width(), 170100);
    form->kakudaibtn->ClickItem(3);
    EXPECT_EQ(Answers->MessageTexts().back(), "Out of system resources");
    EXPECT_EQ(Doc().GetZoomFactor(), 1);
    EXPECT_EQ(form->kakudaibtn->GetItemIndex(), 0);
    EXPECT_EQ(form->Image1->Picture()->Width(), 170100);
}

TEST_F(MainImageTest, TheBackgroundColourFillsTheMargin) {
    // Without a main image the colour dialog is not even shown.
    form->Shape4MouseDown(form->Shape4, mbLeft, 0, 1, 1);
    EXPECT_TRUE(Answers->Log().empty());

    OpenMainImage(WriteBmp("bg.bmp", TwoColorImage(20, 10, Orange, Navy)));
    Answers->ChooseColor(Green);
    form->Shape4MouseDown(form->Shape4, mbRight, 0, 1, 1);
    EXPECT_EQ(Doc().BackgroundColor, Green);
    EXPECT_EQ(form->Shape4->GetBrush().Color, Green);
    ExpectCanvasAround(20, 10);
    EXPECT_EQ(CanvasPixel(0, 0), Green);
    EXPECT_EQ(form->Image1->Picture()->Bitmap()->Canvas()->GetPixels(0, 0), Green);

    // A cancelled dialog keeps the colour; the next main image keeps it too.
    Answers->CancelDialog(ikColorDialog);
    form->Shape4MouseDown(form->Shape4, mbLeft, 0, 1, 1);
    EXPECT_EQ(Doc().BackgroundColor, Green);
    OpenMainImage(WriteBmp("bg2.bmp", TwoColorImage(30, 10, Orange, Navy)));
    EXPECT_EQ(CanvasPixel(0, 0), Green);
}

} // namespace
