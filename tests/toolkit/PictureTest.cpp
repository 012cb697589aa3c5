#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "toolkit/graphics/Graphics.h"

namespace {

// A graphic whose whole stream is its text.
class TTextGraphic : public TGraphic {
public:
    std::string ClassName() const override { return "TTextGraphic"; }
    std::string Text;
    void Draw(TCanvas*, const TRect&) override {}
    bool GetEmpty() override { return Text.empty(); }
    int GetHeight() override { return 1; }
    int GetWidth() override { return static_cast<int>(Text.size()); }
    void SetHeight(int) override {}
    void SetWidth(int) override {}
    void LoadFromStream(TStream& Stream) override {
        Text.resize(static_cast<std::size_t>(Stream.Remaining()));
        Stream.ReadBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    }
    void SaveToStream(TStream& Stream) override {
        Stream.WriteBuffer(Text.data(), static_cast<std::int64_t>(Text.size()));
    }
    void Assign(TPersistent* Source) override {
        if (auto* other = dynamic_cast<TTextGraphic*>(Source)) {
            Text = other->Text;
            Changed(this);
            return;
        }
        TGraphic::Assign(Source);
    }
    void LoadFromClipboardFormat(std::uint16_t, THandle, HPALETTE) override {}
    void SaveToClipboardFormat(std::uint16_t&, THandle&, HPALETTE&) override {}
};

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        TPicture::RegisterFileFormat("TXT", "Text pictures", "TTextGraphic",
                                     [] { return std::make_unique<TTextGraphic>(); });
    }
    void TearDown() override { TPicture::UnregisterGraphicClass("TTextGraphic"); }
    std::string File(const char* Name) { return Dir.filePath(Name).toStdString(); }

    QTemporaryDir Dir;
};

TEST_F(PictureTest, LoadsByExtensionWhateverItsCase) {
    TTextGraphic text;
    text.Text = "hello";
    text.SaveToFile(File("a.Txt"));
    TBitmap bitmap;
    bitmap.SetSize(2, 3);
    bitmap.SaveToFile(File("b.BMP"));

    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(File("a.Txt"));
    ASSERT_NE(dynamic_cast<TTextGraphic*>(picture.GetGraphic()), nullptr);
    EXPECT_EQ(static_cast<TTextGraphic*>(picture.GetGraphic())->Text, "hello");
    picture.LoadFromFile(File("b.BMP"));
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.GetGraphic()), nullptr);
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 3);
    EXPECT_EQ(changes, 2);

    // The graphic's own changes reach the picture.
    picture.Bitmap()->SetWidth(5);
    EXPECT_EQ(changes, 3);
}

TEST_F(PictureTest, UnknownExtensionsAndBadFilesKeepThePicture) {
    TPicture picture;
    picture.Bitmap()->SetSize(4, 4);
    try {
        picture.LoadFromFile(File("c.xyz"));
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
    }
    TMemoryStream junk;
    junk.WriteBuffer("BMjunk", 6);
    junk.SaveToFile(File("d.bmp"));
    EXPECT_THROW(picture.LoadFromFile(File("d.bmp")), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 4);
}

TEST_F(PictureTest, RegistryNamesFormatsUntilUnregistered) {
    EXPECT_EQ(TPicture::GraphicFilter().find("*.bmp"), 0u);
    EXPECT_NE(TPicture::GraphicFilter().find(";*.txt"), std::string::npos);
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_BITMAP));
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(CF_PALETTE));
    TPicture::UnregisterGraphicClass("TTextGraphic");
    EXPECT_EQ(TPicture::GraphicFilter().find("*.txt"), std::string::npos);
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(File("a.txt")), EInvalidGraphic);
}

TEST_F(PictureTest, AssignCopiesTheGraphicAndBitmapReplacesOtherKinds) {
    TTextGraphic text;
    text.Text = "abc";
    TPicture picture;
    picture.Assign(&text);
    text.Text = "changed";
    ASSERT_NE(dynamic_cast<TTextGraphic*>(picture.GetGraphic()), nullptr);
    EXPECT_EQ(static_cast<TTextGraphic*>(picture.GetGraphic())->Text, "abc");

    TPicture other;
    other.Assign(&picture);
    EXPECT_EQ(static_cast<TTextGraphic*>(other.GetGraphic())->Text, "abc");
    TBitmap* bitmap = other.Bitmap();
    EXPECT_EQ(bitmap, other.GetGraphic());
    EXPECT_TRUE(bitmap->Empty());

    picture.SaveToFile(File("e.txt"));
    other.LoadFromFile(File("e.txt"));
    EXPECT_EQ(other.Width(), 3);
    other.Assign(nullptr);
    EXPECT_EQ(other.GetGraphic(), nullptr);
    EXPECT_EQ(other.Width(), 0);
}

} // namespace
