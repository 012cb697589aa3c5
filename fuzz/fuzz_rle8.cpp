// BI_RLE8 data read from a BMP and decoded by a change of pixel format.
#include "RleFuzzBmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return rlefuzz::Run(data, size, 8);
}
