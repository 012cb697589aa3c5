// A canvas over a device context whose bitmap is a DIB section on the bitmap's own
// storage: what is drawn lands in the bitmap's pixel bytes without copying.
#include "imagelib/KvDIB.h"

TKvDIBCanvas::TKvDIBCanvas(TKvDIB* ADIB) : DIB(ADIB) {
    DIB->UniqueDIB();
    try {
        DC = CreateCompatibleDC(0);
        if (DC == 0) throw EOutOfResources("TKvDIBCanvas.Create: Cannot Create Memory DC");
        {
            const THalftoneModeOverride plain(*DIB, kvhtNone);
            OldPalette = SelectPalette(DC, DIB->GetPalette(), true);
        }
        RealizePalette(DC);
        TKvDIBInfos& infos = DIB->InternalDIB->Infos;
        DIBSection = CreateDIBSection(DC, infos.Header, infos.ColorTable, DIB_RGB_COLORS, &SectionBits,
                                      infos.MapHandle, 0);
        if (DIBSection == 0) throw EOutOfResources("TKvDIBCanvas.Create: Cannot Create Memory DC");
        OldBitmap = SelectObject(DC, DIBSection);
        SetHandle(DC);
    } catch (...) {
        Release();
        throw;
    }
}

TKvDIBCanvas::~TKvDIBCanvas() {
    Release();
}

void TKvDIBCanvas::Release() {
    if (OldBitmap != 0) SelectObject(DC, OldBitmap);
    if (DIBSection != 0) DeleteObject(DIBSection);
    SetHandle(0);
    if (DC != 0) DeleteDC(DC);
    OldBitmap = 0;
    DIBSection = 0;
    DC = 0;
    DIB->UpdatePaletteModified();
    DIB->Changed(DIB);
}
