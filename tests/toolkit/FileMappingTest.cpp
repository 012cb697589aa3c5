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

TEST(FileMapping, ReleasedSmallStorageComesBackZeroFilled) {
    const std::size_t live = LiveFileMappings();
    for (std::size_t size :
         {std::size_t(4), std::size_t(1920), std::size_t(64 * 1024), std::size_t(64 * 1024 + 1)}) {
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

TEST(FileMapping, ViewsOfOneMappingShareTheirBytes) {
    THandle mapping = 0;
    std::uint8_t* first = MakeFilled(mapping, 256, 7);
    auto* second = static_cast<std::uint8_t*>(MapViewOfFile(mapping));
    ASSERT_NE(second, nullptr);
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

TEST(FileMappingDeathTest, AStalePointerToReleasedStorageStillFaults) {
    THandle mapping = 0;
    std::uint8_t* view = MakeFilled(mapping, 100, 1);
    ASSERT_TRUE(UnmapViewOfFile(view));
    ASSERT_TRUE(CloseHandle(mapping));
    EXPECT_DEATH(*reinterpret_cast<volatile std::uint8_t*>(view) = 2, "");
}
