// The common dialogs: open, picture-open, save, colour and font. Execute runs the dialog
// through the modal answerer and returns false when the user cancels.
#pragma once

#include <string>
#include <vector>

#include "toolkit/widgets/Control.h"

// One entry of a filter text "Description|*.a;*.b|Description|*.c".
struct TFilterEntry {
    std::string Description;
    std::string Patterns;
};
std::vector<TFilterEntry> SplitFilter(const std::string& Filter);

using TOpenOptions = unsigned;
constexpr TOpenOptions ofOverwritePrompt = 1;
constexpr TOpenOptions ofHideReadOnly = 2; // Qt's file dialogs have no read-only box to hide
constexpr TOpenOptions ofAllowMultiSelect = 4;

class TOpenDialog : public TComponent {
public:
    std::string ClassName() const override { return "TOpenDialog"; }
    bool Execute();
    // The first chosen file, and all of them in the order the dialog lists them.
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    const std::vector<std::string>& Files() const { return FFiles; }

    std::string Title;
    std::string Filter;  // "Description|*.a;*.b|Description|*.c"
    int FilterIndex = 1; // 1-based; the filter the user chose after Execute
    std::string InitialDir;
    // Appended to a saved name that has none: the chosen filter's extension, else this.
    std::string DefaultExt;
    TOpenOptions Options = ofHideReadOnly;

protected:
    virtual bool Saving() const { return false; }

private:
    std::string WithDefaultExtension(const std::string& Name) const;
    std::string FFileName;
    std::vector<std::string> FFiles;
};

class TOpenPictureDialog : public TOpenDialog {
public:
    std::string ClassName() const override { return "TOpenPictureDialog"; }
};

class TSaveDialog : public TOpenDialog {
public:
    std::string ClassName() const override { return "TSaveDialog"; }

protected:
    bool Saving() const override { return true; }
};

// Qt's colour dialog always offers every colour, fully open.
class TColorDialog : public TComponent {
public:
    std::string ClassName() const override { return "TColorDialog"; }
    bool Execute();

    // The colour the dialog opens on, and the one chosen.
    TColor Color = clBlack;
    // "ColorA=RRGGBB" .. "ColorP=RRGGBB", the hex digits being the TColor value.
    std::vector<std::string> CustomColors;
};

class TFontDialog : public TComponent {
public:
    std::string ClassName() const override { return "TFontDialog"; }
    bool Execute();

    // The font the dialog opens on, and the one chosen (its colour and character set kept).
    TFont Font;
};
