#include "toolkit/graphics/FileMapping.h"

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

// Pictures are made and dropped by the hundred. The heap keeps the blocks they free for the
// next ones, rather than giving them back to the system and faulting every page in again:
// blocks up to 32 MB come from the heap, and up to 64 MB free at its top stay there.
const bool HeapKeepsPictures = [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    return true;
}();

// What the block keeps in front of its bytes. Handles are the address of this record;
// they and the views are only ever made here, so they are trusted without a look-up.
struct alignas(16) TMappingBlock {
    std::size_t Size = 0;
    int Views = 0;
    bool Open = true;
};

std::size_t LiveBlocks = 0;

TMappingBlock* BlockOf(THandle Mapping) {
    return reinterpret_cast<TMappingBlock*>(Mapping);
}

TMappingBlock* BlockOfView(void* View) {
    return reinterpret_cast<TMappingBlock*>(static_cast<char*>(View) - sizeof(TMappingBlock));
}

void FreeWhenUnused(TMappingBlock* Block) {
    if (Block->Open || Block->Views > 0) return;
    Block->~TMappingBlock();
    std::free(Block);
    --LiveBlocks;
}

} // namespace

THandle CreateFileMapping(std::size_t Size) {
    if (Size == 0 || Size > SIZE_MAX - sizeof(TMappingBlock)) return 0;
    void* memory = std::calloc(1, sizeof(TMappingBlock) + Size);
    if (memory == nullptr) return 0;
    auto* block = new (memory) TMappingBlock;
    block->Size = Size;
    ++LiveBlocks;
    return reinterpret_cast<THandle>(block);
}

void* MapViewOfFile(THandle Mapping) {
    if (Mapping == 0) return nullptr;
    TMappingBlock* block = BlockOf(Mapping);
    ++block->Views;
    return block + 1;
}

bool UnmapViewOfFile(void* View) {
    if (View == nullptr) return false;
    TMappingBlock* block = BlockOfView(View);
    if (block->Views == 0) return false;
    --block->Views;
    FreeWhenUnused(block);
    return true;
}

bool CloseHandle(THandle Mapping) {
    if (Mapping == 0) return false;
    TMappingBlock* block = BlockOf(Mapping);
    if (!block->Open) return false;
    block->Open = false;
    FreeWhenUnused(block);
    return true;
}

std::size_t FileMappingSize(THandle Mapping) {
    return Mapping == 0 ? 0 : BlockOf(Mapping)->Size;
}

std::size_t LiveFileMappings() {
    return LiveBlocks;
}
