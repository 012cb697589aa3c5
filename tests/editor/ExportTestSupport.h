// The save command driven as the user drives it: a score on a main image, the save dialog
// answered by the script, and what a GIF viewer would show of the file written.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

#include "EditorForms.h"
#include "common/GifPlayback.h"

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Green = RGB(0, 255, 0);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Yellow = RGB(255, 255, 0);
constexpr TColor Cyan = RGB(0, 255, 255);

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
        return ShownPixels(Doc().ComposeOutputFrame(Frame)->Image(), Transparent);
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
