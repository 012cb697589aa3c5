// JPEG files made by libjpeg itself, so the readers under test meet what a real encoder writes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

// A Width x Height picture encoded at the highest quality, with Components 1 (grey), 3 (RGB)
// or 4 (CMYK, written with an Adobe marker unless Adjust turns it off).
// FillRow(y, row) writes scanline y; Adjust(cinfo) changes the settings (progression, scans)
// after the defaults are set.
template <class FillRowFn, class AdjustFn>
std::vector<std::uint8_t> EncodeJpegRows(int Width, int Height, int Components, FillRowFn FillRow,
                                         AdjustFn Adjust) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = Width;
    cinfo.image_height = Height;
    cinfo.input_components = Components;
    cinfo.in_color_space = Components == 1 ? JCS_GRAYSCALE : Components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    Adjust(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(std::size_t(Width) * Components);
    while (cinfo.next_scanline < cinfo.image_height) {
        FillRow(static_cast<int>(cinfo.next_scanline), row.data());
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    return bytes;
}

template <class FillRowFn>
std::vector<std::uint8_t> EncodeJpegRows(int Width, int Height, int Components, FillRowFn FillRow) {
    return EncodeJpegRows(Width, Height, Components, FillRow, [](jpeg_compress_struct&) {});
}
