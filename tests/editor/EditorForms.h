// The editor's five windows created as the program creates them, with the settings kept in
// a temporary configuration folder and every dialog answered by a script.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "editor/forms/gifform.h"
#include "editor/forms/gifview.h"
#include "editor/forms/ngform.h"
#include "editor/forms/scoreset.h"
#include "editor/forms/transform.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/ScriptedAnswerer.h"

class EditorFormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FConfig.isValid());
        FOldConfig = qgetenv("XDG_CONFIG_HOME");
        FHadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", FConfig.path().toUtf8());
        Answers = std::make_unique<TScriptedAnswerer>();
    }

    void TearDown() override {
        Application->DestroyForms();
        Answers.reset();
        if (FHadConfig)
            qputenv("XDG_CONFIG_HOME", FOldConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    // The program block's creation of the windows.
    void CreateForms() {
        Application->CreateForm(MobrelForm);
        Application->CreateForm(newform);
        Application->CreateForm(scoreform);
        Application->CreateForm(transfrm);
        Application->CreateForm(viewform);
    }

    TEditorDocument& Doc() { return MobrelForm->Document(); }

    std::string SettingsFile() const { return FConfig.path().toStdString() + "/Palvenor20.ini"; }

    // A settings file as an earlier run would have left it.
    void WriteSettings(const std::string& Text) {
        QFile file(QString::fromStdString(SettingsFile()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Text.c_str());
    }

    // A main image of Width x Height in Color, with the working canvas built around it.
    void MakeMainImage(int Width, int Height, TColor Color) {
        TBitmap& image = *Doc().MainImage;
        image.SetPixelFormat(pfDevice);
        image.SetSize(Width, Height);
        image.Canvas()->Brush = TBrush{Color, bsSolid};
        image.Canvas()->FillRect(TRect{0, 0, Width, Height});
        Doc().RebuildCanvas();
    }

    // An opaque cast of Width x Height in Color in the next slot of Channel.
    void AddCast(int Channel, int Width, int Height, TColor Color) {
        TScoreChannel& channel = Doc().Channels[Channel];
        const int slot = channel.CastCount;
        TBitmap& cast = channel.EnsureCast(slot);
        cast.SetPixelFormat(pfDevice);
        cast.SetSize(Width, Height);
        cast.Canvas()->Brush = TBrush{Color, bsSolid};
        cast.Canvas()->FillRect(TRect{0, 0, Width, Height});
        channel.CastTransparent[slot] = false;
        channel.SyncCastTransparency(slot);
        channel.RecountCasts();
    }

    void SetCell(int Channel, int Frame, TPoint Position) {
        Doc().Channels[Channel].CellSet[Frame] = true;
        Doc().Channels[Channel].Positions[Frame] = Position;
    }

    // What Image1 shows, pixel by pixel.
    TColor ViewPixel(int X, int Y) {
        return MobrelForm->Image1->Picture()->Bitmap()->Canvas()->GetPixels(X, Y);
    }

    std::unique_ptr<TScriptedAnswerer> Answers;

private:
    QTemporaryDir FConfig;
    QByteArray FOldConfig;
    bool FHadConfig = false;
};

// A widget's pixel as a toolkit colour (red in the low byte).
inline TColor ColorAt(const QImage& Image, int X, int Y) {
    const QRgb pixel = Image.pixel(X, Y);
    return static_cast<TColor>(qRed(pixel) | (qGreen(pixel) << 8) | (qBlue(pixel) << 16));
}
