// Clean-up that runs however a scope is left, and which of two failures leaves it.
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

#include "toolkit/graphics/ScopeExit.h"

namespace {

TEST(ScopeExit, CleansUpAtTheEndAndOnTheWayOutOfAFailureUnlessDismissed) {
    int cleanUps = 0;
    {
        const TScopeExit guard([&] { ++cleanUps; });
    }
    EXPECT_EQ(cleanUps, 1);
    EXPECT_THROW(
        {
            const TScopeExit guard([&] { ++cleanUps; });
            throw std::runtime_error("load failed");
        },
        std::runtime_error);
    EXPECT_EQ(cleanUps, 2);
    {
        TScopeExit guard([&] { ++cleanUps; });
        guard.Dismiss();
    }
    EXPECT_EQ(cleanUps, 2);
}

TEST(ScopeExit, AFailingCleanUpIsReportedUnlessTheScopeIsAlreadyFailing) {
    auto failingCleanUp = [] { throw std::runtime_error("repaint failed"); };
    std::string reported;
    try {
        const TScopeExit guard(failingCleanUp);
    } catch (const std::runtime_error& failure) {
        reported = failure.what();
    }
    EXPECT_EQ(reported, "repaint failed");
    // The command's own failure reaches the user; two at once would end the program.
    try {
        const TScopeExit guard(failingCleanUp);
        throw std::runtime_error("load failed");
    } catch (const std::runtime_error& failure) {
        reported = failure.what();
    }
    EXPECT_EQ(reported, "load failed");
}

} // namespace
