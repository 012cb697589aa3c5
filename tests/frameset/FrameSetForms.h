// The frame-set editor's three windows created as the program creates them, every dialog
// answered by a script, and files to open written into a temporary folder.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "framesetmodel/GifBytes.h"
#include "frameset/forms/gifread.h"
#include "frameset/forms/gifreadcol.h"
#include "frameset/forms/gifreadview.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/ScriptedAnswerer.h"

class FrameSetFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        Answers = std::make_unique<TScriptedAnswerer>();
        Application->CreateForm(Form1);
        Application->CreateForm(Form2);
        Application->CreateForm(Form3);
    }
    void TearDown() override {
        Application->DestroyForms();
        Answers.reset();
    }

    std::string Path(const std::string& Name) const { return FDir.path().toStdString() + "/" + Name; }

    std::string WriteFile(const std::string& Name, const TBytes& Bytes) const {
        TMemoryStream stream;
        stream.WriteBuffer(Bytes.data(), std::int64_t(Bytes.size()));
        stream.SaveToFile(Path(Name));
        return Path(Name);
    }

    // A 24-bit BMP of Width x Height in one colour.
    std::string WriteBmp(const std::string& Name, int Width, int Height, TColor Color) const {
        TKvDIB picture;
        picture.SetBitCount(24);
        picture.SetWidth(Width);
        picture.SetHeight(Height);
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                picture.SetPixels(x, y, int(Color));
        picture.SaveToFile(Path(Name));
        return Path(Name);
    }

    // New with the GIF filter on a file of these bytes.
    void OpenGif(const TBytes& Gif) {
        Answers->ChooseFiles({WriteFile("open.gif", Gif)}, 1);
        Form1->Button1->Click();
    }

    // A GIF of Count frames of 4 x 3 on a 40 x 30 screen, frame i with delay Delay0 + i.
    static TBytes Frames(int Count, int Delay0) {
        TGifBuilder gif;
        gif.Screen(40, 30, 256);
        for (int i = 0; i < Count; ++i)
            gif.Control(0x04, Delay0 + i, 0).Image(i, 0, 4, 3, TBytes(12, std::uint8_t(i)));
        return gif.Trailer().Bytes();
    }

    // The delays of the frames in list order.
    static std::vector<int> Delays() {
        std::vector<int> delays;
        for (int i = 0; i < FrameCount; ++i)
            delays.push_back(FrameList[std::size_t(i)].Delay);
        return delays;
    }
    static std::vector<int> Widths() {
        std::vector<int> widths;
        for (int i = 0; i < FrameCount; ++i)
            widths.push_back(FrameList[std::size_t(i)].Width);
        return widths;
    }

    void SelectRows(int Top, int Bottom) { Form1->StringGrid1->SetSelection(TGridRect{0, Top, 0, Bottom}); }

    std::unique_ptr<TScriptedAnswerer> Answers;

private:
    QTemporaryDir FDir;
};
