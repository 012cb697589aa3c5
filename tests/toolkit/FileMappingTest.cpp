#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/graphics/FileMapping.h"

namespace {

// Makes and maps a mapping, fills it with Fill.
std::uint8_t* MakeFilled(THandle& Mapping, std::size_t Size, std::uint8_t Fill) {
    Mapping = CreateFileMapping(Size);
    auto* view = static_cast<std::uint8_t*>(MapViewOfFile(Mapping));
    if (view != nullptr) std::memset(view, Fill, Size);
    return view;
}

bool AllZero(const std::uint8_t* Bytes, std::size_t Size) {
    for (std::size_t i = 0; i < Size; ++i)
        if (Bytes[i] != 0) return false;
    return true;
}

} // namespace

TEST(FileMapping, StorageMadeAfterReleasedStorageIsZeroFilled) {
    const std::size_t live = LiveFileMappings();
    // Small sizes come back from the heap's free lists, large ones from fresh pages.
    for (std::size_t size : {std::size_t(4), std::size_t(1920), std::size_t(230400), std::size_t(4 << 20)}) {
        THandle first = 0;
        std::uint8_t* view = MakeFilled(first, size, 0xA5);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(UnmapViewOfFile(view));
        ASSERT_TRUE(CloseHandle(first));
        EXPECT_EQ(LiveFileMappings(), live);

        THandle second = CreateFileMapping(size);
        auto* again = static_cast<std::uint8_t*>(MapViewOfFile(second));
        ASSERT_NE(again, nullptr);
        EXPECT_TRUE(AllZero(again, size)) << size;
        EXPECT_EQ(FileMappingSize(second), size);
        EXPECT_TRUE(UnmapViewOfFile(again));
        EXPECT_FALSE(UnmapViewOfFile(again)); // once only
        EXPECT_TRUE(CloseHandle(second));
    }
    EXPECT_EQ(LiveFileMappings(), live);
}

TEST(FileMapping, ViewsOfOneMappingAreOneBlock) {
    THandle mapping = 0;
    std::uint8_t* first = MakeFilled(mapping, 256, 7);
    auto* second = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second, first);
    second[10] = 99;
    EXPECT_EQ(first[10], 99);
    // A view given back and taken again still shows the mapping's bytes.
    ASSERT_TRUE(UnmapViewOfFile(second));
    auto* third = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third[10], 99);
    EXPECT_EQ(third[11], 7);
    EXPECT_TRUE(UnmapViewOfFile(third));
    EXPECT_TRUE(UnmapViewOfFile(first));
    EXPECT_TRUE(CloseHandle(mapping));
}

TEST(FileMapping, BlockLivesUntilHandleClosedAndLastViewUnmapped) {
    const std::size_t live = LiveFileMappings();
    // Views outliving the handle keep the bytes.
    THandle mapping = 0;
    std::uint8_t* view = MakeFilled(mapping, 64, 3);
    auto* other = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    ASSERT_TRUE(CloseHandle(mapping));
    EXPECT_FALSE(CloseHandle(mapping)); // closed once only
    EXPECT_EQ(LiveFileMappings(), live + 1);
    ASSERT_TRUE(UnmapViewOfFile(other));
    EXPECT_EQ(view[63], 3);
    EXPECT_EQ(LiveFileMappings(), live + 1);
    ASSERT_TRUE(UnmapViewOfFile(view));
    EXPECT_EQ(LiveFileMappings(), live);

    // A handle without views keeps its block until it is closed.
    mapping = CreateFileMapping(16);
    view = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    ASSERT_TRUE(UnmapViewOfFile(view));
    EXPECT_EQ(LiveFileMappings(), live + 1);
    view = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    EXPECT_TRUE(AllZero(view, 16));
    ASSERT_TRUE(UnmapViewOfFile(view));
    ASSERT_TRUE(CloseHandle(mapping));
    EXPECT_EQ(LiveFileMappings(), live);
}

TEST(FileMapping, RefusesEmptyAndImpossibleSizes) {
    EXPECT_EQ(CreateFileMapping(0), 0u);
    EXPECT_EQ(CreateFileMapping(SIZE_MAX), 0u);
    EXPECT_EQ(CreateFileMapping(SIZE_MAX - 8), 0u);
    EXPECT_EQ(MapViewOfFile(0), nullptr);
    EXPECT_FALSE(UnmapViewOfFile(nullptr));
    EXPECT_FALSE(CloseHandle(0));
    EXPECT_EQ(FileMappingSize(0), 0u);
}
