// The save command driven as the user drives it: a score on a main image, the save dialog
// answered by the script, and what a GIF viewer would show of the file written.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "EditorForms.h"
#include "common/GifDecode.h"

// Pixels as a viewer shows them: 0x00RRGGBB, or Clear where nothing is drawn.
using TPixels = std::vector<std::uint32_t>;
constexpr std::uint32_t Clear = 0xFF000000;

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Green = RGB(0, 255, 0);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Yellow = RGB(255, 255, 0);
constexpr TColor Cyan = RGB(0, 255, 255);

inline std::uint32_t ToRgb(TColor Color) {
    return (std::uint32_t(GetRValue(Color)) << 16) | (GetGValue(Color) << 8) | GetBValue(Color);
}

// What a viewer shows after each frame of a decoded GIF: frames drawn over what is there,
// transparent pixels left out, disposal 2 clearing the frame's rectangle afterwards.
inline std::vector<TPixels> PlayGif(const TDecodedGif& Gif) {
    std::vector<TPixels> shown;
    TPixels screen(std::size_t(Gif.Width) * Gif.Height, Clear);
    for (const TDecodedFrame& frame : Gif.Frames) {
        for (int y = 0; y < frame.Height; ++y)
            for (int x = 0; x < frame.Width; ++x) {
                const int index = frame.Pixels[std::size_t(y) * frame.Width + x];
                if (index == frame.TransparentIndex) continue;
                screen[std::size_t(frame.Top + y) * Gif.Width + frame.Left + x] = frame.Colors.at(index);
            }
        shown.push_back(screen);
        if (frame.Disposal == 2)
            for (int y = 0; y < frame.Height; ++y)
                for (int x = 0; x < frame.Width; ++x)
                    screen[std::size_t(frame.Top + y) * Gif.Width + frame.Left + x] = Clear;
    }
    return shown;
}

inline TBytes ReadFileBytes(const std::string& Path) {
    QFile file(QString::fromStdString(Path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray data = file.readAll();
    return TBytes(data.begin(), data.end());
}

class ExportFixture : public EditorFormsTest {
protected:
    void SetUp() override {
        EditorFormsTest::SetUp();
        ASSERT_TRUE(Folder.isValid());
        CreateForms();
        form = MobrelForm;
    }

    std::string PathOf(const std::string& Name) const {
        return Folder.filePath(QString::fromStdString(Name)).toStdString();
    }

    // Chooses Name in the save dialog with the given kind (1-based filter) and saves.
    void Save(const std::string& Name, int Kind) {
        Answers->ChooseFiles({PathOf(Name)}, Kind);
        form->BitBtn5->Click();
    }

    // Frame Frame as the editor composes it for output; Transparent, when given, is the colour
    // a viewer shows as Clear.
    TPixels Composed(int Frame, std::optional<TColor> Transparent = std::nullopt) {
        const std::unique_ptr<TBitmap> bitmap = Doc().ComposeOutputFrame(Frame);
        const QImage& image = bitmap->Image();
        TPixels screen;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const TColor color = ColorAt(image, x, y);
                screen.push_back(Transparent && color == *Transparent ? Clear : ToRgb(color));
            }
        return screen;
    }

    // The controls the save command holds off while it runs.
    std::vector<TControl*> EditingControls() const {
        return {form->ScrollBox2, form->ScrollBox1, form->GroupBox6, form->GroupBox4,
                form->BitBtn14,   form->score,      form->cast};
    }

    bool EditingEnabled() const {
        for (TControl* control : EditingControls())
            if (!control->GetEnabled()) return false;
        return true;
    }

    TDecodedGif DecodeFile(const std::string& Name) { return DecodeGif(ReadFileBytes(PathOf(Name))); }

    QStringList FilesInFolder() const { return QDir(Folder.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir Folder;
    TMobrelForm* form = nullptr;
};
