// The GIF writers as the main window runs them: with the loop count, the common palette box
// and the colour choice read from the window.
#include "editor/forms/gifform.h"

TGifOutputSettings TMobrelForm::GifOutputSettings() const {
    return TGifOutputSettings{
        .LoopCount = SpinEdit5->GetValue(),
        .CommonPalette = paletteall->GetChecked(),
        .ColorChoice = colorb->GetItemIndex(),
    };
}

void TMobrelForm::WriteGifHeader(TKvDIB& Dib, TStream& Stream, int Mode) {
    GifWriter.WriteGifHeader(Dib, Stream, Mode, GifOutputSettings());
}

void TMobrelForm::WriteGifFrameHeader(TKvDIB& Dib, TStream& Stream, int TransparentIndex, int Delay, int Left,
                                      int Top, int Width, int Height, int Mode, bool SizeOptimised) {
    GifWriter.WriteGifFrameHeader(Dib, Stream, TransparentIndex, Delay, Left, Top, Width, Height, Mode,
                                  SizeOptimised, GifOutputSettings());
}

void TMobrelForm::WriteGifImageData(TKvDIB& Dib, TStream& Stream, int Left, int Top, int Right, int Bottom) {
    TGifWriter::WriteGifImageData(Dib, Stream, Left, Top, Right, Bottom);
}

void TMobrelForm::WriteGifTrailer(TStream& Stream) {
    TGifWriter::WriteGifTrailer(Stream);
}
