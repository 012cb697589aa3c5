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
