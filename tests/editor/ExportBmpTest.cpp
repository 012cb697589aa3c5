// BMP sequences and single BMPs through the save button.
#include <QDir>
#include <QImage>

#include "ExportTestSupport.h"

namespace {

class ExportBmpTest : public ExportFixture {
protected:
    // A 30 x 20 yellow main image with a red cast walking right over frames 0..2.
    void MakeWalk() {
        MakeMainImage(30, 20, Yellow);
        AddCast(0, 5, 5, Red);
        for (int f = 0; f < 3; ++f)
            SetCell(0, f, TPoint{55 + 8 * f, 60});
    }

    // The pixels of a BMP file as the toolkit-independent reader sees them.
    TPixels Pixels(const std::string& Path) {
        const QImage image(QString::fromStdString(Path), "BMP");
        TPixels pixels;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels.push_back(image.pixel(x, y) & 0xFFFFFF);
        return pixels;
    }
};

} // namespace

TEST_F(ExportBmpTest, SequenceNumbersEveryFrameAfterTheStem) {
    MakeWalk();
    Save("walk.bmp", 3);

    EXPECT_EQ(Answers->MessageTexts(), std::vector<std::string>{"ファイルを出力しました"});
    ASSERT_EQ(FilesInFolder(), (QStringList{"walk000.bmp", "walk001.bmp", "walk002.bmp"}));
    for (int f = 0; f < 3; ++f) {
        const std::string path = PathOf("walk00" + std::to_string(f) + ".bmp");
        EXPECT_EQ(QImage(QString::fromStdString(path)).format(), QImage::Format_Indexed8) << f;
        EXPECT_EQ(Pixels(path), Composed(f)) << f;
    }
    EXPECT_EQ(form->ProgressBar1->GetPosition(), 0);
}

TEST_F(ExportBmpTest, SingleBmpHoldsTheCurrentColumnsFrame) {
    MakeWalk();
    form->score->SetCol(2); // frame 1
    Save("walk.bmp", 4);
    ASSERT_EQ(FilesInFolder(), QStringList{"walk.bmp"});
    EXPECT_EQ(Pixels(PathOf("walk.bmp")), Composed(1));
}

TEST_F(ExportBmpTest, OnlyTheFileNamesDotCutsTheStem) {
    MakeWalk();
    ASSERT_TRUE(QDir(Folder.path()).mkdir("shots.v2"));
    Save("shots.v2/walk.bmp", 3);
    EXPECT_EQ(QDir(Folder.filePath("shots.v2")).entryList(QDir::Files, QDir::Name),
              (QStringList{"walk000.bmp", "walk001.bmp", "walk002.bmp"}));
}
