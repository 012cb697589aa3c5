// Anonymous file mappings, the storage of the image library's pixels: a mapping is one
// zero-filled block from the heap, and every view of it is the block's own address, so
// views share their bytes without any copying.
#pragma once

#include <cstddef>

#include "toolkit/graphics/Gdi.h"

// A new mapping of Size bytes, all zero; 0 when the memory cannot be had or Size is 0.
THandle CreateFileMapping(std::size_t Size);
// A read/write view of the whole mapping (the block's address); nullptr for handle 0.
void* MapViewOfFile(THandle Mapping);
// Gives back one view; false when the mapping has no view left to give back.
bool UnmapViewOfFile(void* View);
// Closes a mapping handle; its views stay valid until unmapped. The block is freed once
// the handle is closed and its last view unmapped.
bool CloseHandle(THandle Mapping);
// The size given when the mapping was made (0 for handle 0).
std::size_t FileMappingSize(THandle Mapping);
// Number of mappings whose block is still held (tests count leftover storage with it).
std::size_t LiveFileMappings();
