#include "toolkit/graphics/GlobalMemory.h"

#include <new>

#include "toolkit/graphics/HandleTable.h"

namespace {

struct TGlobalBlock {
    std::unique_ptr<std::uint8_t[]> Data;
    std::size_t Size = 0;
    int LockCount = 0;
};

THandleTable<TGlobalBlock>& Blocks() {
    static THandleTable<TGlobalBlock> table;
    return table;
}

} // namespace

HGLOBAL GlobalAlloc(unsigned Flags, std::size_t Bytes) {
    auto block = std::make_unique<TGlobalBlock>();
    // An empty block still gets an address to lock.
    const std::size_t storage = Bytes == 0 ? 1 : Bytes;
    if (Flags & GMEM_ZEROINIT)
        block->Data.reset(new (std::nothrow) std::uint8_t[storage]());
    else
        block->Data.reset(new (std::nothrow) std::uint8_t[storage]);
    if (!block->Data) return 0;
    block->Size = Bytes;
    return Blocks().Add(std::move(block));
}

void* GlobalLock(HGLOBAL Block) {
    TGlobalBlock* block = Blocks().Find(Block);
    if (block == nullptr) return nullptr;
    ++block->LockCount;
    return block->Data.get();
}

bool GlobalUnlock(HGLOBAL Block) {
    TGlobalBlock* block = Blocks().Find(Block);
    if (block == nullptr || block->LockCount == 0) return false;
    return --block->LockCount > 0;
}

std::size_t GlobalSize(HGLOBAL Block) {
    const TGlobalBlock* block = Blocks().Find(Block);
    return block != nullptr ? block->Size : 0;
}

HGLOBAL GlobalFree(HGLOBAL Block) {
    return Blocks().Remove(Block) ? 0 : Block;
}
