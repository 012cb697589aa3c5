#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "toolkit/graphics/Graphics.h"

namespace {

// A graphic whose content is a byte string, saved verbatim.
class TByteGraphic : public TGraphic {
public:
    std::string ClassName() const override { return "TByteGraphic"; }
    std::string Data;
    bool FailSave = false;

    void Draw(TCanvas*, const TRect&) override {}
    bool GetEmpty() override { return Data.empty(); }
    int GetHeight() override { return 1; }
    int GetWidth() override { return static_cast<int>(Data.size()); }
    void SetHeight(int) override {}
    void SetWidth(int) override {}
    void LoadFromStream(TStream& Stream) override {
        Data.resize(static_cast<std::size_t>(Stream.Remaining()));
        Stream.ReadBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
    }
    void SaveToStream(TStream& Stream) override {
        const std::size_t half = Data.size() / 2;
        Stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(half));
        if (FailSave) throw EWriteError(SWriteError);
        Stream.WriteBuffer(Data.data() + half, static_cast<std::int64_t>(Data.size() - half));
    }
    void LoadFromClipboardFormat(std::uint16_t, THandle, HPALETTE) override {}
    void SaveToClipboardFormat(std::uint16_t&, THandle&, HPALETTE&) override {}
    void Touch() { Changed(this); }
};

class TOther : public TPersistent {
public:
    std::string ClassName() const override { return "TOther"; }
};

// Accepts assignments from TByteGraphic by taking its data.
class TSink : public TPersistent {
public:
    std::string ClassName() const override { return "TSink"; }
    std::string Data;
    void Assign(TPersistent* Source) override {
        if (auto* graphic = dynamic_cast<TByteGraphic*>(Source)) {
            Data = graphic->Data;
            return;
        }
        TPersistent::Assign(Source);
    }
};

std::string ReadAll(const QString& Path) {
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

} // namespace

TEST(GraphicBase, AssignErrorNamesBothClasses) {
    TByteGraphic graphic;
    TOther other;
    try {
        graphic.Assign(&other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TOther to a TByteGraphic");
    }
    try {
        graphic.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TByteGraphic");
    }
    // A graphic assigned to something that cannot take it: the error names the graphic.
    try {
        other.Assign(&graphic);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TByteGraphic to a TOther");
    }
}

TEST(GraphicBase, AssignReachesTheDestinationsOwnAssign) {
    TByteGraphic graphic;
    graphic.Data = "abc";
    TSink sink;
    sink.Assign(&graphic);
    EXPECT_EQ(sink.Data, "abc");
}

TEST(GraphicBase, ChangedAndTransparentFireOnChange) {
    TByteGraphic graphic;
    int changes = 0;
    TObject* sender = nullptr;
    graphic.OnChange = [&](TObject* Sender) {
        ++changes;
        sender = Sender;
    };
    graphic.Touch();
    EXPECT_TRUE(graphic.Modified);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &graphic);

    graphic.SetTransparent(true);
    EXPECT_TRUE(graphic.GetTransparent());
    EXPECT_EQ(changes, 2);
    graphic.SetTransparent(true); // unchanged value: no notification
    EXPECT_EQ(changes, 2);
    graphic.SetTransparent(false);
    EXPECT_EQ(changes, 3);

    graphic.OnChange = nullptr;
    graphic.Touch(); // without a handler only the flag is set
}

TEST(GraphicBase, ProgressReachesHandler) {
    TByteGraphic graphic;
    graphic.Progress(&graphic, psStarting, 0, false, TRect{}, ""); // no handler: nothing happens
    int percent = -1;
    TProgressStage stage = psEnding;
    graphic.OnProgress = [&](TObject*, TProgressStage Stage, std::uint8_t Percent, bool, const TRect&,
                             const std::string&) {
        stage = Stage;
        percent = Percent;
    };
    graphic.Progress(&graphic, psRunning, 42, false, TRect{}, "");
    EXPECT_EQ(stage, psRunning);
    EXPECT_EQ(percent, 42);
}

TEST(GraphicBase, EqualsComparesStreamImages) {
    TByteGraphic a, b;
    a.Data = "pixels";
    b.Data = "pixels";
    EXPECT_TRUE(a.Equals(&b));
    b.Data = "pixelz";
    EXPECT_FALSE(a.Equals(&b));
    b.Data.clear();
    EXPECT_FALSE(a.Equals(&b));
    a.Data.clear();
    EXPECT_TRUE(a.Equals(&b));
    EXPECT_FALSE(a.Equals(nullptr));
}

TEST(GraphicBase, FileRoundTripAndFailedSaveKeepsOldFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("g.bin");
    TByteGraphic graphic;
    graphic.Data = "first content";
    graphic.SaveToFile(path.toStdString());
    EXPECT_EQ(ReadAll(path), "first content");

    TByteGraphic loaded;
    loaded.LoadFromFile(path.toStdString());
    EXPECT_EQ(loaded.Data, "first content");

    graphic.Data = "second, longer content";
    graphic.FailSave = true;
    EXPECT_THROW(graphic.SaveToFile(path.toStdString()), EWriteError);
    EXPECT_EQ(ReadAll(path), "first content");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind

    EXPECT_THROW(loaded.LoadFromFile(dir.filePath("missing.bin").toStdString()), EFOpenError);
}
