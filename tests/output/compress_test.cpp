#include "output/brerror.h"
#include "output/pagestore/compress.h"
#include "support/testrandom.h"

#include <gtest/gtest.h>

#include <random>

using namespace output;

TEST(SplayCompression, AnyBytesComeBackUnchanged)
{
    testsupport::Random random(4);
    for (std::size_t length : {0u, 1u, 2u, 7u, 8u, 9u, 255u, 256u, 1000u, 65536u}) {
        for (int kind = 0; kind < 3; ++kind) {
            std::vector<std::uint8_t> data(length);
            for (auto &b : data)
                b = kind == 0   ? static_cast<std::uint8_t>(random())
                    : kind == 1 ? static_cast<std::uint8_t>(random() % 4)
                                : static_cast<std::uint8_t>(255 - random() % 2);
            const auto packed = TBRCompress::compress(data.data(), data.size());
            EXPECT_EQ(TBRCompress::expand(packed.data(), packed.size(), data.size()), data)
                << "length " << length << " kind " << kind;
        }
    }
}

TEST(SplayCompression, EveryByteValueRoundTrips)
{
    std::vector<std::uint8_t> data;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b)
            data.push_back(static_cast<std::uint8_t>(round == 1 ? 255 - b : b));
    const auto packed = TBRCompress::compress(data.data(), data.size());
    EXPECT_EQ(TBRCompress::expand(packed.data(), packed.size(), data.size()), data);
}

TEST(SplayCompression, LongRunsShrink)
{
    // The first zero costs the full depth of the initial tree (8 levels + the root step);
    // each splay halves its depth, so after a few bytes a zero costs a bit or two.
    const std::vector<std::uint8_t> zeros(1000, 0);
    const auto packed = TBRCompress::compress(zeros.data(), zeros.size());
    EXPECT_LT(packed.size(), zeros.size() / 4);
    for (std::size_t n = 16; n <= 64; n *= 2) {
        const auto part = TBRCompress::compress(zeros.data(), n);
        EXPECT_LT(part.size(), n) << n;
    }
}

TEST(SplayCompression, TheFirstByteUsesTheInitialTree)
{
    // In the initial tree leaf 256 + b hangs at depth 8: byte 0 is the right child of node
    // 127, reached by seven left turns and one right turn; byte 1 the left child of node 128.
    // Bits fill a byte from its least significant end.
    const std::uint8_t zero = 0, one = 1;
    EXPECT_EQ(TBRCompress::compress(&zero, 1), std::vector<std::uint8_t>{0x80});
    EXPECT_EQ(TBRCompress::compress(&one, 1), std::vector<std::uint8_t>{0x40});
}

TEST(SplayCompression, ExpandingPastTheInputIsAnError)
{
    const std::vector<std::uint8_t> data(100, 7);
    const auto packed = TBRCompress::compress(data.data(), data.size());
    EXPECT_THROW(TBRCompress::expand(packed.data(), packed.size(), packed.size() * 8 + 1),
                 EBRError);
}
