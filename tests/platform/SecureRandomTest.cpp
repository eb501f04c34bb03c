#include "platform/SecureRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace ovira {
namespace {

constexpr std::uint32_t kMax = 0xFFFFFFFF;

struct ScriptedDraw {
    std::uint32_t bound;
    std::vector<std::uint32_t> source;  // drawn in turn
    std::uint32_t result;
    std::size_t draws;
};

// Values below 2^32 mod bound would make the low results likelier; they are
// drawn again, and the first value at or above the cutoff is taken.
TEST(SecureRandomTest, RejectsTheBiasedTailOfAScriptedSource) {
    for (const ScriptedDraw& c : std::vector<ScriptedDraw>{
             {62, {0, 1, 2, 3, 4}, 4, 5},  // 2^32 mod 62 = 4
             {62, {3, 65}, 3, 2},          // 65 = 3 (mod 62) is taken
             {62, {kMax}, 3, 1},           // 2^32 - 1 = 3 (mod 62)
             {3, {0, 1}, 1, 2},            // 2^32 mod 3 = 1
             // 2^32 mod (2^31 + 1) = 2^31 - 1: nearly half the values are rejected.
             {(1u << 31) + 1, {(1u << 31) - 2, (1u << 31) - 1}, (1u << 31) - 1, 2},
             {kMax, {0, kMax}, 0, 2},  // 2^32 mod (2^32 - 1) = 1
             {64, {0}, 0, 1},          // powers of two reject nothing
             {1, {}, 0, 0},            // below 2: zero, without drawing
         }) {
        std::size_t next = 0;  // past the script, the source counts draws and gives 2^32 - 1
        const auto source = [&] { return next < c.source.size() ? c.source[next++] : (++next, kMax); };
        EXPECT_EQ(SecureRandom::uniform(c.bound, source), c.result) << c.bound;
        EXPECT_EQ(next, c.draws) << c.bound;
    }
}

TEST(SecureRandomTest, RealDrawsStayInRangeAndCoverEveryValue) {
    constexpr std::uint32_t kBound = 62;
    std::array<int, kBound> counts{};
    for (std::uint32_t i = 0; i < kBound * 1000; ++i) {
        const std::uint32_t value = SecureRandom::uniform(kBound);
        ASSERT_LT(value, kBound);
        ++counts[value];
    }
    // About 1000 each (standard deviation near 31): only a broken source
    // leaves these bounds.
    for (std::uint32_t v = 0; v < kBound; ++v) EXPECT_TRUE(counts[v] > 600 && counts[v] < 1400) << v;
    for (int i = 0; i < 1000; ++i) ASSERT_LT(SecureRandom::uniform((1u << 31) + 1), (1u << 31) + 1);
}

}  // namespace
}  // namespace ovira
