// Start-up, the stored settings, the display check, closing, the zoom, the panel toggles and
// the S-size colour.
#include <exception>
#include <string>

#include "editor/forms/gifform.h"
#include "editor/forms/gifformglyphs.h"
#include "editor/forms/ngform.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/MessageBoxes.h"
#include "toolkit/widgets/RegIniFile.h"

namespace {

constexpr TCursor PlacementCursorNumber = 1;
constexpr int MinimumDisplayDepth = 16;

} // namespace

void TMobrelForm::FormCreate(TObject*) {
    Screen->SetCursors(PlacementCursorNumber, PlacementCursor());
    Image1->SetCursor(PlacementCursorNumber);
    colorb->SetItemIndex(1);
    effectbox->SetItemIndex(0);
    LoadSettings();
    cast->Canvas()->Pen.Width = 2;
    // A new document holds the start-up tables: no casts, no set cells, every slot
    // transparent, waits 0, no frame points, an empty main image, zoom 1, white background.
    FDocument = std::make_unique<TEditorDocument>();
    score->SetColWidths(0, 20);
    cast->SetRowHeights(0, 16);
    for (int ch = 0; ch < ChannelCount; ++ch)
        score->SetCells(0, ch, std::to_string(ch + 1));
    for (int slot = 0; slot < CastSlotCount; ++slot)
        cast->SetCells(slot, 0, std::to_string(slot + 1));
}

void TMobrelForm::LoadSettings() {
    TRegIniFile settings(SettingsKey);
    OpenPictureDialog1->InitialDir = settings.ReadString(SettingsSection, "opendir", "");
    SaveDialog1->InitialDir = settings.ReadString(SettingsSection, "savedir", "");
    OpenDialog2->InitialDir = settings.ReadString(SettingsSection, "open2dir", "");
    SaveDialog2->InitialDir = settings.ReadString(SettingsSection, "save2dir", "");
    SetLeft(settings.ReadInteger(SettingsSection, "Left", 0));
    SetTop(settings.ReadInteger(SettingsSection, "Top", 0));
    SetWidth(settings.ReadInteger(SettingsSection, "Width", 800));
    SetHeight(settings.ReadInteger(SettingsSection, "Height", 600));
}

void TMobrelForm::SaveSettings() {
    TRegIniFile settings(SettingsKey);
    settings.WriteString(SettingsSection, "opendir", OpenPictureDialog1->InitialDir);
    settings.WriteString(SettingsSection, "savedir", SaveDialog1->InitialDir);
    settings.WriteString(SettingsSection, "open2dir", OpenDialog2->InitialDir);
    settings.WriteString(SettingsSection, "save2dir", SaveDialog2->InitialDir);
    settings.WriteInteger(SettingsSection, "Left", GetLeft());
    settings.WriteInteger(SettingsSection, "Top", GetTop());
    settings.WriteInteger(SettingsSection, "Width", GetWidth());
    settings.WriteInteger(SettingsSection, "Height", GetHeight());
}

void TMobrelForm::FormActivate(TObject*) {
    const HDC screen = GetDC(0);
    const int depth = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(0, screen);
    CheckDisplayDepth(depth);
}

void TMobrelForm::CheckDisplayDepth(int BitsPerPixel) {
    // Once the user has chosen to stay, the window coming back to the front after the
    // message must not raise it again and again.
    if (BitsPerPixel >= MinimumDisplayDepth || FLowDepthAccepted) return;
    ShowMessage("ディスプレイの解像度を16ビット（32,000色）以上にしてください。");
    // The close confirmation follows, so the user may still stay.
    Close();
    FLowDepthAccepted = true;
}

void TMobrelForm::FormClose(TObject*, TCloseAction& Action) {
    if (MessageDlg("終了してもよろしいですか?", mtConfirmation, mbYesNo) != mrYes) {
        Action = caNone;
        return;
    }
    TEditorDocument& doc = Document();
    for (TScoreChannel& channel : doc.Channels)
        for (int slot = 0; slot < CastSlotCount; ++slot)
            if (channel.CastUsed[slot]) channel.FreeCast(slot);
    doc.CanvasBitmap.reset();
    // The main image's pixels go; the document keeps an empty picture in their place.
    doc.MainImage = std::make_unique<TBitmap>();
    // Settings that cannot be written are reported; they never keep the program from ending.
    try {
        SaveSettings();
    } catch (const std::exception& failure) {
        Application->ShowException(failure);
    }
    Action = caFree;
}

void TMobrelForm::Button10Click(TObject*) {
    Close();
}

void TMobrelForm::Exit1Click(TObject*) {
    Close();
}

void TMobrelForm::vtypeClick(TObject*) {}

// A zoom whose frame view could not be made is refused: the zoom and its button stay as
// they were.
void TMobrelForm::kakudaibtnClick(TObject*) {
    TEditorDocument& doc = Document();
    const int zoom = kakudaibtn->GetItemIndex() + 1;
    if (!doc.ZoomFits(zoom)) {
        kakudaibtn->SetItemIndex(doc.GetZoomFactor() - 1);
        throw EOutOfResources(SOutOfResources);
    }
    doc.SetZoomFactor(zoom);
    RefreshFrameView();
}

void TMobrelForm::pv1Click(TObject*) {
    ScrollBox2->SetVisible(!ScrollBox2->GetVisible());
    pv1->SetChecked(ScrollBox2->GetVisible());
}

void TMobrelForm::pv2Click(TObject*) {
    ScrollBox3->SetVisible(!ScrollBox3->GetVisible());
    pv2->SetChecked(ScrollBox3->GetVisible());
}

void TMobrelForm::Shape1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
    // The new-background dialog's colour dialog, so both swatches share its last choice.
    if (newform->ColorDialog1->Execute()) Shape1->SetBrushColor(newform->ColorDialog1->Color);
}
