#include "imagelib/KvGraph.h"

#include "toolkit/graphics/Clipboard.h"

void TKvGraphic::Assign(TPersistent* Source) {
    auto* clipboard = dynamic_cast<TClipboard*>(Source);
    if (clipboard == nullptr) {
        TGraphic::Assign(Source);
        return;
    }
    clipboard->Open();
    try {
        const std::uint16_t format = GetClipboardFormat();
        const THandle data = clipboard->GetAsHandle(format);
        const HPALETTE palette = clipboard->GetAsHandle(CF_PALETTE);
        LoadFromClipboardFormat(format, data, palette);
    } catch (...) {
        clipboard->Close();
        throw;
    }
    clipboard->Close();
}
