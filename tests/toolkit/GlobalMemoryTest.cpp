#include <gtest/gtest.h>

#include <cstring>

#include "toolkit/graphics/GlobalMemory.h"

TEST(GlobalMemory, ZeroFilledBlockWithLockCount) {
    const HGLOBAL block = GlobalAlloc(GHND, 1000);
    ASSERT_NE(block, 0u);
    EXPECT_EQ(GlobalSize(block), 1000u);
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    std::memset(bytes, 0xAB, 1000);

    // A second lock sees the same bytes; only the last unlock ends the lock.
    auto* again = static_cast<std::uint8_t*>(GlobalLock(block));
    EXPECT_EQ(again, bytes);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block)); // not locked any more
    EXPECT_EQ(static_cast<std::uint8_t*>(GlobalLock(block))[999], 0xAB);
    GlobalUnlock(block);

    EXPECT_EQ(GlobalFree(block), 0u);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
}

TEST(GlobalMemory, UnknownHandlesAreRefused) {
    EXPECT_EQ(GlobalLock(0), nullptr);
    EXPECT_EQ(GlobalSize(0), 0u);
    EXPECT_EQ(GlobalFree(123456789), 123456789u);
    EXPECT_FALSE(GlobalUnlock(123456789));
}

TEST(GlobalMemory, EmptyBlockCanBeLocked) {
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(block, 0u);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_NE(GlobalLock(block), nullptr);
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), 0u);
}
