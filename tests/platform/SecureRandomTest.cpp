#include "platform/SecureRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace ovira {
namespace {

// A 32-bit source that gives the listed values in turn and counts the draws.
class ScriptedSource {
public:
    explicit ScriptedSource(std::vector<std::uint32_t> values) : values_(std::move(values)) {}

    std::function<std::uint32_t()> function() {
        return [this] {
            if (next_ >= values_.size()) {
                ADD_FAILURE() << "drew more than the " << values_.size() << " scripted values";
                return std::numeric_limits<std::uint32_t>::max();  // accepted for every bound
            }
            return values_[next_++];
        };
    }
    std::size_t draws() const { return next_; }

private:
    std::vector<std::uint32_t> values_;
    std::size_t next_ = 0;
};

constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();

// 2^32 mod 62 is 4: the values 0...3 would make 0...3 the likeliest results.
TEST(SecureRandomUniformTest, RejectsTheBiasedTailForBound62) {
    ScriptedSource source({0, 1, 2, 3, 4});
    EXPECT_EQ(SecureRandom::uniform(62, source.function()), 4u);
    EXPECT_EQ(source.draws(), 5u);

    ScriptedSource second({3, 65});
    EXPECT_EQ(SecureRandom::uniform(62, second.function()), 3u);
    EXPECT_EQ(second.draws(), 2u);

    // The first acceptable value is taken at once.
    ScriptedSource boundary({4});
    EXPECT_EQ(SecureRandom::uniform(62, boundary.function()), 4u);
    EXPECT_EQ(boundary.draws(), 1u);

    ScriptedSource top({kMax});  // 2^32 - 1 = 3 (mod 62)
    EXPECT_EQ(SecureRandom::uniform(62, top.function()), 3u);
    EXPECT_EQ(top.draws(), 1u);
}

TEST(SecureRandomUniformTest, RejectsTheBiasedTailForOtherBounds) {
    // 2^32 mod 3 = 1.
    ScriptedSource three({0, 0, 1});
    EXPECT_EQ(SecureRandom::uniform(3, three.function()), 1u);
    EXPECT_EQ(three.draws(), 3u);

    // Just above 2^31, nearly half of all values are rejected: 2^32 mod (2^31 + 1) = 2^31 - 1.
    const std::uint32_t justAboveHalf = (1u << 31) + 1;
    ScriptedSource half({0, (1u << 31) - 2, (1u << 31) - 1});
    EXPECT_EQ(SecureRandom::uniform(justAboveHalf, half.function()), (1u << 31) - 1);
    EXPECT_EQ(half.draws(), 3u);
    ScriptedSource halfTop({kMax});
    EXPECT_EQ(SecureRandom::uniform(justAboveHalf, halfTop.function()), (1u << 31) - 2);

    // The largest bound: 2^32 mod (2^32 - 1) = 1.
    ScriptedSource largest({0, 0, kMax});
    EXPECT_EQ(SecureRandom::uniform(kMax, largest.function()), 0u);
    EXPECT_EQ(largest.draws(), 3u);
}

TEST(SecureRandomUniformTest, PowersOfTwoRejectNothing) {
    for (const std::uint32_t bound : {2u, 64u, 1u << 16, 1u << 31}) {
        ScriptedSource source({0});
        EXPECT_EQ(SecureRandom::uniform(bound, source.function()), 0u) << bound;
        EXPECT_EQ(source.draws(), 1u) << bound;
        ScriptedSource top({kMax});
        EXPECT_EQ(SecureRandom::uniform(bound, top.function()), bound - 1) << bound;
    }
}

TEST(SecureRandomUniformTest, BoundsBelowTwoGiveZeroWithoutDrawing) {
    for (const std::uint32_t bound : {0u, 1u}) {
        ScriptedSource source({});
        EXPECT_EQ(SecureRandom::uniform(bound, source.function()), 0u);
        EXPECT_EQ(source.draws(), 0u);
        EXPECT_EQ(SecureRandom::uniform(bound), 0u);
    }
}

TEST(SecureRandomUniformTest, RealDrawsStayInRangeAndCoverEveryValue) {
    constexpr std::uint32_t kBound = 62;
    constexpr int kPerValue = 1000;
    std::array<int, kBound> counts{};
    for (int i = 0; i < static_cast<int>(kBound) * kPerValue; ++i) {
        const std::uint32_t value = SecureRandom::uniform(kBound);
        ASSERT_LT(value, kBound);
        ++counts[value];
    }
    // About 1000 each, with a standard deviation near 31: the bounds only
    // catch a broken source, never chance.
    for (std::uint32_t v = 0; v < kBound; ++v) {
        EXPECT_GT(counts[v], 600) << "value " << v;
        EXPECT_LT(counts[v], 1400) << "value " << v;
    }
}

TEST(SecureRandomUniformTest, RealDrawsForOtherBoundsStayInRange) {
    for (const std::uint32_t bound : {2u, 3u, 10u, 1000u, (1u << 31) + 1, kMax}) {
        for (int i = 0; i < 2000; ++i) ASSERT_LT(SecureRandom::uniform(bound), bound) << bound;
    }
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 200; ++i) seen.insert(SecureRandom::uniform(2));
    EXPECT_EQ(seen, (std::set<std::uint32_t>{0, 1}));
}

TEST(SecureRandomTest, Next32UsesAllBits) {
    std::uint32_t anySet = 0;
    std::uint32_t allSet = kMax;
    std::set<std::uint32_t> distinct;
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t value = SecureRandom::next32();
        anySet |= value;
        allSet &= value;
        distinct.insert(value);
    }
    EXPECT_EQ(anySet, kMax) << "some bit is never set";
    EXPECT_EQ(allSet, 0u) << "some bit is never clear";
    EXPECT_GT(distinct.size(), 990u);
}

TEST(SecureRandomTest, FillCoversTheWholeBuffer) {
    // Larger than one getrandom() call is sure to return.
    std::vector<unsigned char> buffer(64 * 1024 + 3, 0);
    SecureRandom::fill(buffer.data(), buffer.size());
    std::array<int, 256> counts{};
    for (const unsigned char byte : buffer) ++counts[byte];
    for (int value = 0; value < 256; ++value) EXPECT_GT(counts[value], 0) << "byte " << value;
    // The tail is filled too, not only the start.
    int zerosAtEnd = 0;
    for (std::size_t i = buffer.size() - 64; i < buffer.size(); ++i) zerosAtEnd += buffer[i] == 0;
    EXPECT_LT(zerosAtEnd, 16);

    std::vector<unsigned char> again(buffer.size(), 0);
    SecureRandom::fill(again.data(), again.size());
    EXPECT_NE(buffer, again);

    SecureRandom::fill(nullptr, 0);  // nothing to do
}

}  // namespace
}  // namespace ovira
