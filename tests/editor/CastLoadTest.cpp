// Casts from BMP and JPEG files and from the clipboard: which slots fill, inserting, and the
// way to the clipboard and back.
#include <QBuffer>
#include <QMimeData>

#include "CastPictureFiles.h"

namespace {

constexpr QRgb Orange = qRgb(240, 120, 16);
constexpr QRgb Navy = qRgb(16, 32, 160);

class CastLoadTest : public PictureFilesTest {
protected:
    TScoreChannel& Channel() { return Doc().Channels[form->score->Row()]; }

    // A small BMP whose top-left pixel tells it apart (Tag 0..254).
    std::string TaggedBmp(int Tag) {
        QImage image = TwoColorImage(4, 3, Navy, Navy);
        image.setPixel(0, 0, qRgb(Tag, 255 - Tag, 7));
        return WriteBmp("cast" + std::to_string(Tag) + ".bmp", image);
    }

    TColor Tag(int Tag) { return RGB(Tag, 255 - Tag, 7); }

    TColor CastPixel(int Slot, int X, int Y) { return Channel().Cast(Slot)->Canvas()->GetPixels(X, Y); }

    void LoadFiles(const std::vector<std::string>& Files) {
        Answers->ChooseFiles(Files);
        form->BitBtn1->Click();
    }
};

TEST_F(CastLoadTest, TwentyFiveFilesFillTheTwentySlots) {
    std::vector<std::string> files;
    for (int i = 0; i < 25; ++i)
        files.push_back(TaggedBmp(i));
    LoadFiles(files);
    ASSERT_EQ(Channel().CastCount, 20);
    for (int slot = 0; slot < CastSlotCount; ++slot) {
        EXPECT_EQ(CastPixel(slot, 0, 0), Tag(slot));
        // Each new cast is transparent in the colour of its top-left pixel.
        EXPECT_TRUE(Channel().CastTransparent[slot]);
        EXPECT_EQ(Channel().Cast(slot)->GetTransparentColor(), Tag(slot));
    }
    EXPECT_TRUE(Answers->Messages().empty());
    EXPECT_EQ(form->OpenPictureDialog1->InitialDir, Folder());
    EXPECT_TRUE(Answers->Log()[0].File.MultiSelect);
}

TEST_F(CastLoadTest, LoadingStartsOnlyRightAfterAUsedSlot) {
    // Slot 1 of an empty strip: no dialog opens.
    form->cast->SetCol(1);
    form->BitBtn1->Click();
    EXPECT_TRUE(Answers->Log().empty());
    EXPECT_EQ(Channel().CastCount, 0);

    form->cast->SetCol(0);
    LoadFiles({TaggedBmp(0), TaggedBmp(1), TaggedBmp(2)});
    form->cast->SetCol(4);
    form->BitBtn1->Click();
    EXPECT_EQ(Answers->Log().size(), 1u); // no dialog after the one that loaded
    EXPECT_EQ(Channel().CastCount, 3);

    // From the slot after the last one, or over used slots.
    form->cast->SetCol(3);
    Answers->ChooseFiles({TaggedBmp(3), TaggedBmp(4)});
    form->castDblClick(form->cast);
    EXPECT_EQ(Channel().CastCount, 5);
    EXPECT_EQ(CastPixel(4, 0, 0), Tag(4));
    form->cast->SetCol(1);
    Answers->ChooseFiles({TaggedBmp(9)});
    form->K15->Click();
    EXPECT_EQ(Channel().CastCount, 5);
    EXPECT_EQ(CastPixel(1, 0, 0), Tag(9));

    // Other channels keep their own strips.
    form->score->SetRow(2);
    EXPECT_EQ(Channel().CastCount, 0);
}

TEST_F(CastLoadTest, EachFileIsReadByTheReaderItsNameCallsFor) {
    const std::string jpeg = WriteJpeg(".bilder/photo.jpg", TwoColorImage(32, 16, Orange, Navy));
    const std::string bmp = WriteBmp("plain.Bmp", TwoColorImage(6, 2, Navy, Orange));
    LoadFiles({jpeg, bmp});
    ASSERT_EQ(Channel().CastCount, 2);
    ASSERT_EQ(Channel().Cast(0)->Width(), 32);
    EXPECT_TRUE(NearColor(CastPixel(0, 4, 4), Orange));
    EXPECT_TRUE(NearColor(CastPixel(0, 28, 12), Navy));
    EXPECT_EQ(Channel().Cast(0)->GetPixelFormat(), pfDevice);
    ASSERT_EQ(Channel().Cast(1)->Width(), 6);
    EXPECT_EQ(CastPixel(1, 0, 1), ToColor(Navy));
    EXPECT_EQ(CastPixel(1, 5, 0), ToColor(Orange));
}

TEST_F(CastLoadTest, ACastCopiedToTheClipboardPastesBackWithTheSamePixels) {
    // An empty clipboard pastes nothing.
    form->BitBtn7->Click();
    EXPECT_EQ(Channel().CastCount, 0);

    LoadFiles({WriteJpeg("photo.jpg", TwoColorImage(32, 16, Orange, Navy))});
    form->BitBtn23->Click();
    form->cast->SetCol(1);
    form->K17->Click();
    ASSERT_EQ(Channel().CastCount, 2);
    EXPECT_EQ(Channel().Cast(1)->Image(), Channel().Cast(0)->Image());
    EXPECT_TRUE(Channel().CastTransparent[1]);

    // Copying an empty slot leaves the clipboard alone.
    form->cast->SetCol(4);
    form->K16->Click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().width(), 32);
}

TEST_F(CastLoadTest, APictureAnotherProgramCopiedAsPngPastesAsACast) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    TwoColorImage(8, 5, Orange, Navy).save(&buffer, "PNG");
    auto* mime = new QMimeData;
    mime->setData("image/png", png);
    QGuiApplication::clipboard()->setMimeData(mime);

    form->BitBtn7->Click();
    ASSERT_EQ(Channel().CastCount, 1);
    ASSERT_EQ(Channel().Cast(0)->Width(), 8);
    EXPECT_EQ(CastPixel(0, 0, 4), ToColor(Orange));
    EXPECT_EQ(CastPixel(0, 7, 0), ToColor(Navy));
    EXPECT_EQ(Channel().Cast(0)->GetTransparentColor(), ToColor(Orange));
}

TEST_F(CastLoadTest, InsertingFromTheClipboard) {
    std::vector<std::string> files;
    for (int i = 0; i < 19; ++i)
        files.push_back(TaggedBmp(i));
    LoadFiles(files);
    QGuiApplication::clipboard()->setImage(TwoColorImage(2, 2, Orange, Orange));

    // At slot 5 of 19 casts: slots 5..18 move to 6..19.
    form->cast->SetCol(5);
    form->insertcast->Click();
    ASSERT_EQ(Channel().CastCount, 20);
    EXPECT_EQ(CastPixel(5, 0, 0), ToColor(Orange));
    for (int slot = 6; slot < CastSlotCount; ++slot)
        EXPECT_EQ(CastPixel(slot, 0, 0), Tag(slot - 1));
    // Into the full strip nothing goes, and no cast is lost.
    QGuiApplication::clipboard()->setImage(TwoColorImage(2, 2, Navy, Navy));
    form->cast->SetCol(2);
    form->insertcast->Click();
    EXPECT_EQ(Channel().CastCount, 20);
    EXPECT_EQ(CastPixel(2, 0, 0), Tag(2));
    EXPECT_EQ(CastPixel(19, 0, 0), Tag(18));

    // Past the slot after the last cast nothing happens; at it the picture is appended.
    form->score->SetRow(4);
    form->cast->SetCol(1);
    form->N5->Click();
    EXPECT_EQ(Channel().CastCount, 0);
    form->cast->SetCol(0);
    form->N5->Click();
    EXPECT_EQ(Channel().CastCount, 1);
}

} // namespace
