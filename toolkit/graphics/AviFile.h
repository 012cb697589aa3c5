// The AVI file interface: new RIFF 'AVI ' files with one video stream of key frames.
// The file is built in a temporary file next to the target and renamed over it when the
// last reference is released, so a failed or abandoned file never replaces the target.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/graphics/Types.h"

using HRESULT = std::int32_t;

constexpr HRESULT AVIERR_OK = 0;
constexpr HRESULT AVIERR_UNSUPPORTED = static_cast<HRESULT>(0x80044065);
constexpr HRESULT AVIERR_BADFLAGS = static_cast<HRESULT>(0x80044069);
constexpr HRESULT AVIERR_BADPARAM = static_cast<HRESULT>(0x8004406A);
constexpr HRESULT AVIERR_BADSIZE = static_cast<HRESULT>(0x8004406B);
constexpr HRESULT AVIERR_BADHANDLE = static_cast<HRESULT>(0x8004406C);
constexpr HRESULT AVIERR_FILEWRITE = static_cast<HRESULT>(0x8004406E);
constexpr HRESULT AVIERR_FILEOPEN = static_cast<HRESULT>(0x8004406F);
constexpr HRESULT AVIERR_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);

// Open modes; only a new file is written.
constexpr unsigned OF_WRITE = 0x0001;
constexpr unsigned OF_CREATE = 0x1000;

// Sample flags.
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;

// Main header flags.
constexpr std::uint32_t AVIF_HASINDEX = 0x10;

constexpr std::uint32_t mmioFOURCC(char A, char B, char C, char D) {
    return std::uint32_t(std::uint8_t(A)) | std::uint32_t(std::uint8_t(B)) << 8 |
           std::uint32_t(std::uint8_t(C)) << 16 | std::uint32_t(std::uint8_t(D)) << 24;
}
constexpr std::uint32_t streamtypeVIDEO = mmioFOURCC('v', 'i', 'd', 's');

// The description of a stream; it becomes the stream header. dwLength and
// dwSuggestedBufferSize grow with what is written.
struct AVISTREAMINFOA {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    TRect rcFrame{};
};

struct TAviFile;
struct TAviStream;
using PAVIFILE = TAviFile*;
using PAVISTREAM = TAviStream*;

// The library is usable between AVIFileInit and the matching AVIFileExit.
void AVIFileInit();
void AVIFileExit();

// File := a new file to be written as FileName; Mode must hold OF_WRITE and OF_CREATE.
HRESULT AVIFileOpenA(PAVIFILE& File, const std::string& FileName, unsigned Mode);
// The file is finished and renamed over its target when its last reference goes: its own
// and one per stream. Returns the references left. When finishing fails the file is freed,
// the target stays as it was and the stream's error is raised.
unsigned AVIFileRelease(PAVIFILE File);
// Marks File so that its release leaves the target as it was: for a writer that gives up.
void AVIFileAbandon(PAVIFILE File);

// Stream := the file's one video stream, described by Info (scale and rate not 0).
HRESULT AVIFileCreateStreamA(PAVIFILE File, PAVISTREAM& Stream, const AVISTREAMINFOA& Info);
// The sample format (for video a BITMAPINFOHEADER and its colour table); set at position 0,
// before the first sample.
HRESULT AVIStreamSetFormat(PAVISTREAM Stream, long Position, const void* Format, long FormatSize);
// Appends one sample at position Start (the next one in turn) as a chunk of its own. A write
// the file refuses changes nothing; one that fails part way marks the file abandoned.
HRESULT AVIStreamWrite(PAVISTREAM Stream, long Start, long Samples, const void* Buffer, long BufferSize,
                       std::uint32_t Flags);
// Lets go of the stream's hold on its file; when that was the file's last reference, the
// file is finished as by AVIFileRelease. Returns the stream's references left.
unsigned AVIStreamRelease(PAVISTREAM Stream);
