// Movable global memory blocks, the currency of the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/graphics/Gdi.h"

using HGLOBAL = THandle;

constexpr unsigned GMEM_FIXED = 0x0000;
constexpr unsigned GMEM_MOVEABLE = 0x0002;
constexpr unsigned GMEM_ZEROINIT = 0x0040;
constexpr unsigned GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(unsigned Flags, std::size_t Bytes); // 0 on failure
void* GlobalLock(HGLOBAL Block);                        // nullptr for an unknown handle
bool GlobalUnlock(HGLOBAL Block);                       // true while still locked
std::size_t GlobalSize(HGLOBAL Block);                  // 0 for an unknown handle
HGLOBAL GlobalFree(HGLOBAL Block);                      // 0 on success, Block on failure
