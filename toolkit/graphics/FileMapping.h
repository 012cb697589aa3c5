// Anonymous shared-memory mappings (memfd_create + mmap), the storage of the image
// library's pixels. A mapping handle may be mapped several times; every view shows the
// same bytes.
#pragma once

#include <cstddef>

#include "toolkit/graphics/Gdi.h"

// A new mapping of Size bytes (zero-filled); 0 when the system refuses it or Size is 0.
THandle CreateFileMapping(std::size_t Size);
// A read/write view of the whole mapping; nullptr on failure.
void* MapViewOfFile(THandle Mapping);
bool UnmapViewOfFile(void* View);
// Closes a mapping handle; its views stay valid until unmapped.
bool CloseHandle(THandle Mapping);
// The size given when the mapping was made (0 for an unknown handle).
std::size_t FileMappingSize(THandle Mapping);
// Number of mappings made and not yet closed (tests count leftover storage with it).
std::size_t LiveFileMappings();
