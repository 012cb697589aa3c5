// Decoding keeps libjpeg's error recovery (setjmp/longjmp) inside a plain C-style function
// that owns nothing with a destructor (the picture it fills belongs to its caller); errors
// become exceptions only after returning.
#include "toolkit/graphics/JPEGImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int MaxProgressiveScans = 100;

struct TJpegErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Escape;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Escape, 1);
}

// A warning means damaged data that libjpeg would fill in with made-up pixels.
void EmitMessage(j_common_ptr cinfo, int Level) {
    if (Level >= 0) return; // trace messages
    auto* err = reinterpret_cast<TJpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->Message);
    std::longjmp(err->Escape, 1);
}

void OutputMessage(j_common_ptr) {}

struct TScanLimit {
    jpeg_progress_mgr Base;
    TJpegErrorManager* Errors;
};

void CheckScans(j_common_ptr cinfo) {
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > MaxProgressiveScans) {
        auto* limit = reinterpret_cast<TScanLimit*>(cinfo->progress);
        std::snprintf(limit->Errors->Message, sizeof(limit->Errors->Message),
                      "JPEG file has more than %d scans", MaxProgressiveScans);
        std::longjmp(limit->Errors->Escape, 1);
    }
}

// The fewest bits the coded data of a whole picture can take, every component coded as
// an encoder must. A sequential Huffman scan spends at least one bit per block on the DC
// difference and one on the first AC symbol (at the least an end of block). A progressive
// file codes each block's DC in a first scan, a Huffman symbol of at least one bit, while
// one end-of-band run may cover thousands of blocks in its AC scans. Arithmetic coding has
// no such floor: the decisions of a flat picture cost a small fraction of a bit each, and
// the zero bytes that end the data are left out, so a grey 16000 x 16000 picture takes five
// bytes. Those pictures are read; data that libjpeg refuses part way has then cost only the
// rows decoded until then, as the picture's rows are touched in the order they come.
std::uint64_t LeastCodedBits(const jpeg_decompress_struct& cinfo) {
    if (cinfo.arith_code) return 0;
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += std::uint64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    return blocks * (cinfo.progressive_mode ? 1 : 2);
}

// A row of CMYK pixels, as libjpeg gives them, turned into RGB32 in place: each channel is
// the paper left by its ink and the black, (255 - C) (255 - K) / 255 rounded. Files with an
// Adobe marker store every ink inverted (255 is no ink), as Adobe's programs write them.
void CmykRowToRgb(unsigned char* Row, JDIMENSION Width, bool Inverted) {
    auto paper = [Inverted](unsigned char Ink) { return Inverted ? Ink : 255 - Ink; };
    auto channel = [&](unsigned char Ink, int Black) {
        return static_cast<unsigned char>((paper(Ink) * Black + 127) / 255);
    };
    for (JDIMENSION x = 0; x < Width; ++x, Row += 4) {
        const int black = paper(Row[3]);
        const unsigned char red = channel(Row[0], black);
        const unsigned char green = channel(Row[1], black);
        const unsigned char blue = channel(Row[2], black);
        Row[0] = blue;
        Row[1] = green;
        Row[2] = red;
        Row[3] = 0xFF;
    }
}

// Decodes Data into Out (Format_RGB32, the picture only: libjpeg writes its rows in place).
// Returns false with Message filled when the data cannot be decoded, or when Fits refuses
// the picture's size; Out is then not a picture to keep.
bool DecodeJpeg(const unsigned char* Data, unsigned long Size, const TJPEGImage::TSizeCheck& Fits,
                QImage& Out, char* Message) {
    jpeg_decompress_struct cinfo;
    TJpegErrorManager err;
    TScanLimit limit;
    cinfo.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = ErrorExit;
    err.Base.emit_message = EmitMessage;
    err.Base.output_message = OutputMessage;
    err.Message[0] = 0;
    if (setjmp(err.Escape)) {
        jpeg_destroy_decompress(&cinfo);
        std::memcpy(Message, err.Message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    limit.Base.progress_monitor = CheckScans;
    limit.Errors = &err;
    cinfo.progress = &limit.Base;
    jpeg_mem_src(&cinfo, Data, Size);
    jpeg_read_header(&cinfo, TRUE);
    // libjpeg turns YCCK into CMYK but CMYK into nothing else; that is done row by row.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_calc_output_dimensions(&cinfo);
    const std::uint64_t bytes = std::uint64_t(cinfo.output_width) * cinfo.output_height * 4;
    if (bytes == 0 || bytes > MaxPictureBytes ||
        (Fits && !Fits(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height)))) {
        std::snprintf(err.Message, sizeof(err.Message), "JPEG image is too large (%u x %u)",
                      cinfo.output_width, cinfo.output_height);
        std::longjmp(err.Escape, 1);
    }
    // The header ends with the first scan's; everything after it is coded data.
    if (LeastCodedBits(cinfo) > std::uint64_t(cinfo.src->bytes_in_buffer) * 8) {
        std::snprintf(err.Message, sizeof(err.Message), "JPEG data is too short for a %u x %u image",
                      cinfo.image_width, cinfo.image_height);
        std::longjmp(err.Escape, 1);
    }
    Out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB32);
    if (Out.isNull()) {
        std::snprintf(err.Message, sizeof(err.Message), "Out of memory for the JPEG image");
        std::longjmp(err.Escape, 1);
    }
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = Out.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk) CmykRowToRgb(row, cinfo.output_width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// Encodes Rows (B G R X, Width * 4 bytes each) into a malloc'ed buffer.
bool EncodeJpeg(const unsigned char* Pixels, int Width, int Height, int Stride, int Quality,
                unsigned char** Out, unsigned long* OutSize, char* Message) {
    jpeg_compress_struct cinfo;
    TJpegErrorManager err;
    cinfo.err = jpeg_std_error(&err.Base);
    err.Base.error_exit = ErrorExit;
    err.Base.emit_message = EmitMessage;
    err.Base.output_message = OutputMessage;
    *Out = nullptr;
    *OutSize = 0;
    if (setjmp(err.Escape)) {
        jpeg_destroy_compress(&cinfo);
        std::free(*Out);
        *Out = nullptr;
        std::memcpy(Message, err.Message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, Out, OutSize);
    cinfo.image_width = static_cast<JDIMENSION>(Width);
    cinfo.image_height = static_cast<JDIMENSION>(Height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, Quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(Pixels + std::size_t(Stride) * cinfo.next_scanline);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

const bool Registered = [] {
    auto factory = [] { return std::unique_ptr<TGraphic>(new TJPEGImage()); };
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", "TJPEGImage", factory);
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", "TJPEGImage", factory);
    return true;
}();

} // namespace

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {
    FBitmap->SetPixelFormat(pf24bit);
}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->Assign(FBitmap.get());
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
        FBitmap->Assign(jpeg->FBitmap.get());
        Changed(this);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        FBitmap->Assign(bitmap);
        FBitmap->SetPixelFormat(pf24bit);
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
    ACanvas->StretchDraw(Rect, FBitmap.get());
}

bool TJPEGImage::GetEmpty() {
    return FBitmap->GetEmpty();
}
int TJPEGImage::GetHeight() {
    return FBitmap->GetHeight();
}
int TJPEGImage::GetWidth() {
    return FBitmap->GetWidth();
}

void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}
void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
    const std::int64_t size = Stream.Remaining();
    if (size <= 0) throw EJPEG("JPEG file is empty");
    std::vector<unsigned char> data(static_cast<std::size_t>(size));
    Stream.ReadBuffer(data.data(), size);

    QImage image;
    char message[JMSG_LENGTH_MAX];
    if (!DecodeJpeg(data.data(), static_cast<unsigned long>(data.size()), SizeFits, image, message))
        throw EJPEG(message);
    FBitmap->Image() = std::move(image);
    Changed(this);
}

void TJPEGImage::SaveToStream(TStream& Stream) {
    const QImage& image = FBitmap->Image();
    if (image.isNull()) throw EInvalidGraphicOperation("Cannot save an empty JPEG image");
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    char message[JMSG_LENGTH_MAX];
    if (!EncodeJpeg(image.constBits(), image.width(), image.height(), static_cast<int>(image.bytesPerLine()),
                    CompressionQuality, &out, &outSize, message))
        throw EJPEG(message);
    std::unique_ptr<unsigned char, decltype(&std::free)> owned(out, &std::free);
    Stream.WriteBuffer(owned.get(), static_cast<std::int64_t>(outSize));
}

void TJPEGImage::LoadFromClipboardFormat(std::uint16_t AFormat, THandle AData, HPALETTE APalette) {
    FBitmap->LoadFromClipboardFormat(AFormat, AData, APalette);
    FBitmap->SetPixelFormat(pf24bit);
    Changed(this);
}

void TJPEGImage::SaveToClipboardFormat(std::uint16_t& AFormat, THandle& AData, HPALETTE& APalette) {
    FBitmap->SaveToClipboardFormat(AFormat, AData, APalette);
}
