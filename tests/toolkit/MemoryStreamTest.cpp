#include <gtest/gtest.h>

#include "toolkit/graphics/Streams.h"

using TBytes = std::vector<std::uint8_t>;

TEST(MemoryStream, WritesAppendOverwriteAndFillAGapWithZeros) {
    TMemoryStream stream;
    stream.SetCapacity(1000); // room only: nothing written yet
    EXPECT_EQ(stream.GetSize(), 0);
    const std::uint8_t abc[] = {1, 2, 3};
    stream.WriteBuffer(abc, 3);
    stream.WriteBuffer(abc, 3);
    EXPECT_EQ(stream.Bytes(), (TBytes{1, 2, 3, 1, 2, 3}));
    stream.SetPosition(4);
    stream.WriteBuffer(abc, 3); // over the end
    EXPECT_EQ(stream.Bytes(), (TBytes{1, 2, 3, 1, 1, 2, 3}));
    stream.SetPosition(1);
    stream.WriteBuffer(abc, 1); // inside
    stream.Seek(2, soEnd);
    stream.WriteBuffer(abc + 2, 1); // past the end
    EXPECT_EQ(stream.Bytes(), (TBytes{1, 1, 3, 1, 1, 2, 3, 0, 0, 3}));
    EXPECT_EQ(stream.GetPosition(), 10);
}

TEST(MemoryStream, SeekingStopsAtTheStart) {
    TMemoryStream stream;
    const std::uint8_t abc[] = {1, 2, 3};
    stream.WriteBuffer(abc, 3);
    ASSERT_EQ(stream.Seek(-3, soBeginning), 0);
    ASSERT_EQ(stream.GetPosition(), 0);
    stream.SetPosition(2);
    ASSERT_EQ(stream.Seek(-5, soCurrent), 0);
    ASSERT_EQ(stream.Seek(-4, soEnd), 0);
    // Reading and writing go on from the start.
    std::uint8_t first = 0;
    EXPECT_EQ(stream.Read(&first, 1), 1);
    EXPECT_EQ(first, 1);
    ASSERT_EQ(stream.Seek(-1, soBeginning), 0);
    stream.WriteBuffer(abc + 2, 1);
    EXPECT_EQ(stream.Bytes(), (TBytes{3, 2, 3}));
}
