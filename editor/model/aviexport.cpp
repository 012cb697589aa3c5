#include "editor/model/aviexport.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "editor/model/DIBitmap.h"
#include "imagelib/KvDIB.h"
#include "toolkit/graphics/AviFile.h"
#include "toolkit/graphics/Exceptions.h"

namespace {

constexpr int AviColors = 256;

void Check(HRESULT Result) {
    if (Result != AVIERR_OK) throw Exception(SAviExportFailed);
}

// The AVI library, file and stream of one export. Whatever was opened is released however
// the export ends; a file that was not finished is abandoned, leaving its target as it was.
class TAviSession {
public:
    TAviSession() { AVIFileInit(); }
    ~TAviSession() {
        if (FStream != nullptr) AVIStreamRelease(FStream);
        if (FFile != nullptr) {
            AVIFileAbandon(FFile);
            AVIFileRelease(FFile);
        }
        AVIFileExit();
    }
    TAviSession(const TAviSession&) = delete;
    TAviSession& operator=(const TAviSession&) = delete;

    void Open(const std::string& FileName) { Check(AVIFileOpenA(FFile, FileName, OF_WRITE | OF_CREATE)); }
    void CreateStream(const AVISTREAMINFOA& Info) { Check(AVIFileCreateStreamA(FFile, FStream, Info)); }
    void SetFormat(const std::vector<std::uint8_t>& Format) {
        Check(AVIStreamSetFormat(FStream, 0, Format.data(), static_cast<long>(Format.size())));
    }
    void WriteKeyFrame(int Frame, const std::vector<std::uint8_t>& Bits) {
        Check(AVIStreamWrite(FStream, Frame, 1, Bits.data(), static_cast<long>(Bits.size()), AVIIF_KEYFRAME));
    }
    // Writes out the file; a failure to do so raises, the target staying as it was.
    void Finish() {
        AVIStreamRelease(std::exchange(FStream, nullptr));
        AVIFileRelease(std::exchange(FFile, nullptr));
    }

private:
    PAVIFILE FFile = nullptr;
    PAVISTREAM FStream = nullptr;
};

// One frame on its way out: composed (24 bits), halftoned, handed to a toolkit bitmap and
// read out of it as a DIB, the header with colour table in Info and the pixels in Bits.
class TAviFrame {
public:
    explicit TAviFrame(TBitmap& Picture) {
        Load(Picture);
        int infoSize = 0, imageSize = 0;
        DIBitmapSizes(FBitmap.GetHandle(), infoSize, imageSize, AviColors);
        Info.assign(std::size_t(infoSize), 0);
        Bits.assign(std::size_t(imageSize), 0);
        ReadBits();
    }

    void Load(TBitmap& Picture) {
        FDIB.Assign(&Picture);
        FDIB.SetPixelFormat(kvpfHalfTone);
        FBitmap.Assign(&FDIB);
    }
    void ReadBits() { DIBitmapBits(FBitmap.GetHandle(), 0, Info, AviColors, Bits); }
    const BITMAPINFOHEADER& Header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(Info.data()); }

    std::vector<std::uint8_t> Info;
    std::vector<std::uint8_t> Bits;

private:
    TKvDIB FDIB;
    TBitmap FBitmap;
};

bool HasOutputFrames(const TEditorDocument& Document) {
    if (Document.CanvasBitmap == nullptr || Document.CanvasBitmap->GetEmpty()) return false;
    // LastExportFrame gives 0 also when no cell is set at all.
    return LastExportFrame(Document) > 0 ||
           std::ranges::any_of(Document.Channels, [](const TScoreChannel& Channel) {
               return Channel.CastCount > 0 && Channel.CellSet[0];
           });
}

} // namespace

bool ExportAvi(const TEditorDocument& Document, const std::string& FileName,
               const TExportProgress& Progress) {
    if (!HasOutputFrames(Document)) return false;
    const int last = LastExportFrame(Document);
    Progress.SetMax(last);

    TAviSession avi;
    avi.Open(FileName);
    // The stream's format is the main image's, halftoned; every frame has its size.
    TAviFrame frame(*Document.MainImage);
    AVISTREAMINFOA info;
    info.fccType = streamtypeVIDEO;
    info.fccHandler = 0;
    info.dwScale = 1;
    info.dwRate = AviFramesPerSecond;
    info.dwSuggestedBufferSize = frame.Header().biSizeImage;
    info.rcFrame = TRect{0, 0, frame.Header().biWidth, frame.Header().biHeight};
    avi.CreateStream(info);
    avi.SetFormat(frame.Info);

    for (int f = 0; f <= last; ++f) {
        const std::unique_ptr<TBitmap> composed = Document.ComposeOutputFrame(f);
        frame.Load(*composed);
        frame.ReadBits();
        avi.WriteKeyFrame(f, frame.Bits);
        Progress.SetPosition(f);
    }
    avi.Finish();
    return true;
}
