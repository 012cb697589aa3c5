// The AVI file writer. Layout of a file:
//   RIFF 'AVI '
//     LIST 'hdrl'  avih, LIST 'strl' (strh, strf)
//     LIST 'movi'  one chunk per sample
//     idx1         one entry per chunk, offsets from the 'movi' code
// The headers go first with the sizes known so far and are written again when the file is
// finished, once the sample count and the index are known.
#include "toolkit/graphics/AviFile.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "toolkit/graphics/Exceptions.h"
#include "toolkit/graphics/Streams.h"

namespace {

int InitCount = 0;

// Every size field of the RIFF form is 32 bits wide.
constexpr std::uint64_t MaxRiffSize = std::numeric_limits<std::uint32_t>::max();
// Far beyond any header plus colour table; keeps the header sizes small numbers.
constexpr long MaxFormatSize = 1 << 20;

constexpr std::uint64_t Padded(std::uint64_t Size) {
    return Size + (Size & 1);
}

// Little-endian header bytes.
class THeaderBytes {
public:
    void U16(std::uint32_t Value) {
        FBytes.push_back(std::uint8_t(Value));
        FBytes.push_back(std::uint8_t(Value >> 8));
    }
    void U32(std::uint32_t Value) {
        U16(Value & 0xFFFF);
        U16(Value >> 16);
    }
    void FourCC(const char* Code) { U32(mmioFOURCC(Code[0], Code[1], Code[2], Code[3])); }
    void Chunk(const char* Code, std::uint64_t Size) {
        FourCC(Code);
        U32(static_cast<std::uint32_t>(Size));
    }
    void List(const char* Kind, std::uint64_t Size) {
        Chunk("LIST", Size);
        FourCC(Kind);
    }
    void Append(const std::vector<std::uint8_t>& Bytes) {
        FBytes.insert(FBytes.end(), Bytes.begin(), Bytes.end());
        if (Bytes.size() & 1) FBytes.push_back(0);
    }
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }

private:
    std::vector<std::uint8_t> FBytes;
};

struct TIndexEntry {
    std::uint32_t Offset = 0; // of the chunk, from the 'movi' code
    std::uint32_t Size = 0;
    std::uint32_t Flags = 0;
};

constexpr std::uint64_t AvihSize = 56;
constexpr std::uint64_t StrhSize = 56;
constexpr std::uint64_t IndexEntrySize = 16;

} // namespace

struct TAviStream {
    TAviFile* File = nullptr;
    AVISTREAMINFOA Info;
    std::vector<std::uint8_t> Format;
    bool Released = false;
};

struct TAviFile {
    std::unique_ptr<TFileStream> Target;
    std::unique_ptr<TAviStream> Stream;
    // The file's own reference and one per stream not yet released.
    unsigned References = 1;
    bool OwnReleased = false;
    bool Abandoned = false;
    // The headers are in place and samples follow; the format is fixed from then on.
    bool MoviStarted = false;
    std::uint64_t MoviDataSize = 0;
    std::vector<TIndexEntry> Index;

    std::uint64_t StrlContentSize() const { return 4 + 8 + StrhSize + 8 + Padded(Stream->Format.size()); }
    std::uint64_t HdrlContentSize() const { return 4 + 8 + AvihSize + (Stream ? 8 + StrlContentSize() : 0); }
    // From the file's start to the first sample chunk.
    std::uint64_t HeaderSize() const { return 12 + 8 + HdrlContentSize() + 12; }
    std::uint64_t IndexChunkSize() const { return 8 + IndexEntrySize * Index.size(); }
    std::uint64_t FileSize() const { return HeaderSize() + MoviDataSize + IndexChunkSize(); }

    void WriteHeaders();
    void StartMovi();
    void Finish();
};

namespace {

void PutMainHeader(THeaderBytes& Out, const TAviStream* Stream) {
    std::uint32_t microSecPerFrame = 0, maxBytesPerSec = 0, totalFrames = 0, bufferSize = 0, width = 0,
                  height = 0;
    if (Stream != nullptr) {
        const AVISTREAMINFOA& info = Stream->Info;
        microSecPerFrame =
            static_cast<std::uint32_t>((1000000ull * info.dwScale + info.dwRate / 2) / info.dwRate);
        const std::uint64_t bytesPerSec =
            (std::uint64_t(info.dwSuggestedBufferSize) * info.dwRate + info.dwScale - 1) / info.dwScale;
        maxBytesPerSec = static_cast<std::uint32_t>(std::min<std::uint64_t>(bytesPerSec, MaxRiffSize));
        totalFrames = info.dwLength;
        bufferSize = info.dwSuggestedBufferSize;
        width = static_cast<std::uint32_t>(info.rcFrame.Width());
        height = static_cast<std::uint32_t>(info.rcFrame.Height());
    }
    Out.Chunk("avih", AvihSize);
    Out.U32(microSecPerFrame);
    Out.U32(maxBytesPerSec);
    Out.U32(0); // padding granularity
    Out.U32(AVIF_HASINDEX);
    Out.U32(totalFrames);
    Out.U32(0); // initial frames
    Out.U32(Stream != nullptr ? 1 : 0);
    Out.U32(bufferSize);
    Out.U32(width);
    Out.U32(height);
    for (int i = 0; i < 4; ++i)
        Out.U32(0);
}

void PutStreamHeader(THeaderBytes& Out, const AVISTREAMINFOA& Info) {
    Out.Chunk("strh", StrhSize);
    Out.U32(Info.fccType);
    Out.U32(Info.fccHandler);
    Out.U32(Info.dwFlags);
    Out.U16(Info.wPriority);
    Out.U16(Info.wLanguage);
    Out.U32(Info.dwInitialFrames);
    Out.U32(Info.dwScale);
    Out.U32(Info.dwRate);
    Out.U32(Info.dwStart);
    Out.U32(Info.dwLength);
    Out.U32(Info.dwSuggestedBufferSize);
    Out.U32(Info.dwQuality);
    Out.U32(Info.dwSampleSize);
    for (int edge : {Info.rcFrame.Left, Info.rcFrame.Top, Info.rcFrame.Right, Info.rcFrame.Bottom})
        Out.U16(static_cast<std::uint16_t>(edge));
}

bool FitsInt16(int Value) {
    return Value >= std::numeric_limits<std::int16_t>::min() &&
           Value <= std::numeric_limits<std::int16_t>::max();
}

// Uncompressed video samples are 'db' chunks, compressed ones 'dc'.
const char* SampleChunkId(const AVISTREAMINFOA& Info) {
    return Info.fccHandler == 0 ? "00db" : "00dc";
}

// Drops one reference; the last one finishes the file (unless abandoned) and frees it.
unsigned DropReference(TAviFile* File) {
    if (--File->References > 0) return File->References;
    const std::unique_ptr<TAviFile> owned(File);
    if (!owned->Abandoned) owned->Finish();
    return 0;
}

} // namespace

void TAviFile::WriteHeaders() {
    THeaderBytes out;
    out.Chunk("RIFF", FileSize() - 8);
    out.FourCC("AVI ");
    out.List("hdrl", HdrlContentSize());
    PutMainHeader(out, Stream.get());
    if (Stream) {
        out.List("strl", StrlContentSize());
        PutStreamHeader(out, Stream->Info);
        out.Chunk("strf", Stream->Format.size());
        out.Append(Stream->Format);
    }
    out.List("movi", 4 + MoviDataSize);
    Target->SetPosition(0);
    Target->WriteBuffer(out.Bytes().data(), static_cast<std::int64_t>(out.Bytes().size()));
}

void TAviFile::StartMovi() {
    if (MoviStarted) return;
    WriteHeaders();
    MoviStarted = true;
}

void TAviFile::Finish() {
    StartMovi();
    THeaderBytes index;
    index.Chunk("idx1", IndexEntrySize * Index.size());
    for (const TIndexEntry& entry : Index) { // entries exist only once a stream does
        index.FourCC(SampleChunkId(Stream->Info));
        index.U32(entry.Flags);
        index.U32(entry.Offset);
        index.U32(entry.Size);
    }
    Target->SetPosition(static_cast<std::int64_t>(HeaderSize() + MoviDataSize));
    Target->WriteBuffer(index.Bytes().data(), static_cast<std::int64_t>(index.Bytes().size()));
    WriteHeaders();
    Target->Commit();
}

void AVIFileInit() {
    ++InitCount;
}

void AVIFileExit() {
    if (InitCount > 0) --InitCount;
}

HRESULT AVIFileOpenA(PAVIFILE& File, const std::string& FileName, unsigned Mode) {
    File = nullptr;
    if (InitCount == 0) return AVIERR_NOTINITIALIZED;
    if ((Mode & (OF_WRITE | OF_CREATE)) != (OF_WRITE | OF_CREATE)) return AVIERR_BADFLAGS;
    auto file = std::make_unique<TAviFile>();
    try {
        file->Target = std::make_unique<TFileStream>(FileName, fmCreate);
    } catch (const EStreamError&) {
        return AVIERR_FILEOPEN;
    }
    File = file.release();
    return AVIERR_OK;
}

unsigned AVIFileRelease(PAVIFILE File) {
    if (File == nullptr || File->OwnReleased) return 0;
    File->OwnReleased = true;
    return DropReference(File);
}

void AVIFileAbandon(PAVIFILE File) {
    if (File != nullptr) File->Abandoned = true;
}

HRESULT AVIFileCreateStreamA(PAVIFILE File, PAVISTREAM& Stream, const AVISTREAMINFOA& Info) {
    Stream = nullptr;
    if (File == nullptr || File->OwnReleased) return AVIERR_BADHANDLE;
    if (File->Stream || File->MoviStarted || Info.fccType != streamtypeVIDEO) return AVIERR_UNSUPPORTED;
    const TRect& frame = Info.rcFrame;
    if (Info.dwScale == 0 || Info.dwRate == 0 || Info.dwSampleSize != 0 || frame.Width() < 0 ||
        frame.Height() < 0 || !FitsInt16(frame.Left) || !FitsInt16(frame.Top) || !FitsInt16(frame.Right) ||
        !FitsInt16(frame.Bottom))
        return AVIERR_BADPARAM;
    File->Stream = std::make_unique<TAviStream>();
    File->Stream->File = File;
    File->Stream->Info = Info;
    File->Stream->Info.dwLength = 0;
    ++File->References;
    Stream = File->Stream.get();
    return AVIERR_OK;
}

HRESULT AVIStreamSetFormat(PAVISTREAM Stream, long Position, const void* Format, long FormatSize) {
    if (Stream == nullptr || Stream->Released) return AVIERR_BADHANDLE;
    if (Position != 0 || Stream->File->MoviStarted) return AVIERR_UNSUPPORTED;
    if (FormatSize < 0 || FormatSize > MaxFormatSize || (Format == nullptr && FormatSize > 0))
        return AVIERR_BADSIZE;
    const auto* bytes = static_cast<const std::uint8_t*>(Format);
    Stream->Format.assign(bytes, bytes + FormatSize);
    return AVIERR_OK;
}

HRESULT AVIStreamWrite(PAVISTREAM Stream, long Start, long Samples, const void* Buffer, long BufferSize,
                       std::uint32_t Flags) {
    if (Stream == nullptr || Stream->Released) return AVIERR_BADHANDLE;
    TAviFile& file = *Stream->File;
    if (file.Abandoned) return AVIERR_FILEWRITE;
    if (Start != static_cast<long>(Stream->Info.dwLength) || Samples != 1) return AVIERR_BADPARAM;
    if (BufferSize < 0 || (Buffer == nullptr && BufferSize > 0)) return AVIERR_BADSIZE;
    const std::uint64_t size = static_cast<std::uint64_t>(BufferSize);
    const std::uint64_t chunk = 8 + Padded(size);
    if (file.FileSize() + chunk + IndexEntrySize - 8 > MaxRiffSize) return AVIERR_BADSIZE;
    try {
        file.StartMovi();
        const std::uint64_t offset = 4 + file.MoviDataSize;
        THeaderBytes head;
        head.Chunk(SampleChunkId(Stream->Info), size);
        file.Target->SetPosition(static_cast<std::int64_t>(file.HeaderSize() + file.MoviDataSize));
        file.Target->WriteBuffer(head.Bytes().data(), static_cast<std::int64_t>(head.Bytes().size()));
        file.Target->WriteBuffer(Buffer, BufferSize);
        if (size & 1) {
            const std::uint8_t pad = 0;
            file.Target->WriteBuffer(&pad, 1);
        }
        file.MoviDataSize += chunk;
        file.Index.push_back(
            TIndexEntry{static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(size), Flags});
    } catch (const EStreamError&) {
        file.Abandoned = true;
        return AVIERR_FILEWRITE;
    }
    AVISTREAMINFOA& info = Stream->Info;
    ++info.dwLength;
    info.dwSuggestedBufferSize = std::max(info.dwSuggestedBufferSize, static_cast<std::uint32_t>(size));
    return AVIERR_OK;
}

unsigned AVIStreamRelease(PAVISTREAM Stream) {
    if (Stream == nullptr || Stream->Released) return 0;
    Stream->Released = true;
    DropReference(Stream->File);
    return 0;
}
